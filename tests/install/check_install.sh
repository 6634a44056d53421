#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the layout and the desktop entry.
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
grep -qx "Exec=$prefix/lib/foldwarn/foldwarn" "$prefix/share/applications/foldwarn.desktop" || { echo "Exec line wrong"; exit 1; }
desktop-file-validate "$prefix/share/applications/foldwarn.desktop"
echo "install layout ok"
