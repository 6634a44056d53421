#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the Debian package that scripts/package made: lintian finds no error or warning, the AppStream
# metadata and the desktop entry validate, the manual page renders without warnings, the licence is stated
# in machine-readable form, no placeholder address is left, --help / --version (and -h / -V) answer with 0
# without a display, and --autostart on|off writes a valid entry and removes it.
set -euo pipefail
deb=$(ls "$1"/foldwarn_*.deb | head -n1)
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
fail() {
  echo "$*"
  exit 1
}

# lintian refuses nothing as root but says so.
lintian --fail-on error,warning --display-info "$deb" 2>&1 | grep -v "running with root privileges"
appstreamcli validate --pedantic --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
desktop-file-validate "$tree/usr/share/applications/foldwarn.desktop"
grep -qx "Exec=/usr/lib/foldwarn/foldwarn %f" "$tree/usr/share/applications/foldwarn.desktop"
grep -qx "MimeType=inode/directory;" "$tree/usr/share/applications/foldwarn.desktop"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$tree/usr/share/man/man1/foldwarn.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6" || fail "Depends lacks the Qt libraries"
dpkg-deb -f "$deb" Recommends | grep -qw "qt6-wayland" || fail "Recommends lacks qt6-wayland"
dpkg-deb -f "$deb" Recommends | grep -qw "fonts-liberation2" || fail "Recommends lacks fonts-liberation2"

# The licence: a DEP-5 copyright file that puts every file under GPL-3+ and points to the common licence.
copyright="$tree/usr/share/doc/foldwarn/copyright"
head -n1 "$copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "copyright is not in the machine-readable format"
awk '/^Files: \*$/ { files = 1; next } /^$/ { files = 0 } files && /^License:/ { print $2 }' "$copyright" |
  grep -qx "GPL-3+" || fail "copyright does not put Files: * under GPL-3+"
grep -q '/usr/share/common-licenses/GPL-3' "$copyright" || fail "copyright does not point to the licence's text"
grep -q '<project_license>GPL-3.0-or-later</project_license>' "$tree"/usr/share/metainfo/*.metainfo.xml ||
  fail "the AppStream file names no project licence"

# No address that leads nowhere: no placeholder domain, no invented homepage, in the files or the control data.
control="$(mktemp -d)"
trap 'rm -rf "$tree" "$control"' EXIT
dpkg-deb -e "$deb" "$control"
placeholders=$(find "$tree" "$control" -type f -print0 | while IFS= read -r -d '' f; do
  # Not grep -q: its early exit would fail the pipe under pipefail.
  if zcat -f -- "$f" | grep -aE '\.example\b|divuvadi\.de' >/dev/null; then echo "$f"; fi
done)
[ -z "$placeholders" ] || fail "placeholder addresses in: $placeholders"
[ -z "$(dpkg-deb -f "$deb" Homepage)" ] || fail "a Homepage field, but there is no homepage"

for arg in --help -h --version -V; do
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$tree/usr/bin/foldwarn" "$arg") ||
    fail "foldwarn $arg failed"
  echo "$out" | grep -q "foldwarn" || fail "foldwarn $arg said: $out"
done

# Start at login, without a window: the entry appears, valid, and starts the installed program; off removes it.
entry="$tree/config/autostart/foldwarn.desktop"
autostart() { env -u DISPLAY -u WAYLAND_DISPLAY XDG_CONFIG_HOME="$tree/config" "$tree/usr/bin/foldwarn" --autostart "$@"; }
autostart on || fail "--autostart on failed"
desktop-file-validate "$entry" || fail "the autostart entry is not valid"
grep -qx "Exec=$tree/usr/lib/foldwarn/foldwarn" "$entry" || fail "the autostart entry starts: $(grep ^Exec "$entry")"
grep -qx "TryExec=$tree/usr/lib/foldwarn/foldwarn" "$entry" || fail "the autostart entry lacks TryExec"
autostart off || fail "--autostart off failed"
[ ! -e "$entry" ] || fail "--autostart off left the entry"
status=0
autostart sideways 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "--autostart sideways gave $status, not 2"
echo "package ok"
