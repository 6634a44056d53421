#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a temporary prefix; checks the layout, the desktop entry, and that the install
# manifest names every file and link the install made. Usage: check_install.sh BUILD_DIR
# BUILD_DIR is a tree of its own (the package test's), so a user's build/install_manifest.txt is never touched.
set -euo pipefail
build="$1"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in lib/foldwarn/foldwarn lib/foldwarn/add.wav lib/foldwarn/remove.wav bin/foldwarn \
         share/applications/foldwarn.desktop share/icons/hicolor/32x32/apps/foldwarn.png \
         share/icons/hicolor/scalable/apps/foldwarn.svg; do
  [ -e "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
[ "$(readlink -f "$prefix/bin/foldwarn")" = "$(readlink -f "$prefix/lib/foldwarn/foldwarn")" ] || { echo "bin/foldwarn does not lead to the program"; exit 1; }
grep -qx "Exec=$prefix/lib/foldwarn/foldwarn %f" "$prefix/share/applications/foldwarn.desktop" || { echo "Exec line wrong"; exit 1; }
desktop-file-validate "$prefix/share/applications/foldwarn.desktop"
installed=$(cd "$prefix" && find . ! -type d | sed "s|^\.|$prefix|" | sort)
listed=$(sort "$build/install_manifest.txt")
[ "$installed" = "$listed" ] || { echo "install_manifest.txt differs from what was installed:"; diff <(echo "$listed") <(echo "$installed"); exit 1; }
echo "install layout ok"
