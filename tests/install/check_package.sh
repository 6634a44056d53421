#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the Debian package that scripts/package made: lintian finds no error, the AppStream metadata and
# the desktop entry validate, the manual page renders without warnings, and --help / --version answer
# with 0 and without a display.
set -euo pipefail
deb=$(ls "$1"/foldwarn_*.deb | head -n1)
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"

# lintian refuses nothing as root but says so; errors fail, warnings are shown.
lintian --fail-on error --display-info "$deb" 2>&1 | grep -v "running with root privileges"
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$tree/usr/share/applications/foldwarn.desktop"
grep -qx "Exec=/usr/lib/foldwarn/foldwarn" "$tree/usr/share/applications/foldwarn.desktop"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$tree/usr/share/man/man1/foldwarn.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "man page: $warnings"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || { echo "Depends lacks the Qt libraries"; exit 1; }

for arg in --help --version; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$tree/usr/bin/foldwarn" "$arg") ||
    { echo "foldwarn $arg failed"; exit 1; }
  echo "$out" | grep -q "foldwarn" || { echo "foldwarn $arg said: $out"; exit 1; }
done
echo "package ok"
