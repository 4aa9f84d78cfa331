#!/usr/bin/env bash
# cmake --install into a temporary prefix: the four programs run from there,
# the desktop entry validates and finds its icon, the manual pages format
# without warnings, and the beacon unit names the installed program.
# Usage: install.sh BUILD-DIR
set -uo pipefail
build=$(realpath "$1")
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "FAILED: cmake --install"; exit 1; }

for program in vantrel vantrel-timeline vantrel-tone vantrel-settings; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program not installed"
done
"$prefix/bin/vantrel" --version | grep -q '^vantrel 4\.14' || fail "installed vantrel --version"
"$prefix/bin/vantrel-timeline" --help | grep -q '^Usage: vantrel-timeline' || fail "installed vantrel-timeline --help"
"$prefix/bin/vantrel-tone" --help | grep -q '^Usage: vantrel-tone' || fail "installed vantrel-tone --help"
"$prefix/bin/vantrel-settings" --help | grep -q '^Usage: vantrel-settings' || fail "installed vantrel-settings --help"

desktop=$prefix/share/applications/vantrel.desktop
if ! command -v desktop-file-validate >/dev/null; then
    fail "desktop-file-validate is missing (scripts/test installs desktop-file-utils)"
elif ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
    fail "desktop-file-validate: $out"
fi
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -s "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "icon $icon not installed"
exec=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$prefix/bin/${exec%% *}" ] || fail "Exec=$exec is not an installed program"

for page in vantrel vantrel-timeline vantrel-tone vantrel-settings; do
    file=$prefix/share/man/man1/$page.1
    if [ ! -s "$file" ]; then
        fail "man page $page missing"
    elif ! out=$(groff -man -Tutf8 -ww -z "$file" 2>&1) || [ -n "$out" ]; then
        fail "man page $page: $out"
    fi
done

unit=$prefix/share/doc/vantrel/examples/vantrel-beacon.service
bindir=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")/bin
grep -qx "ExecStart=$bindir/vantrel autostart" "$unit" || fail "unit ExecStart"
grep -qx "ExecStopPost=$bindir/vantrel --release-port" "$unit" || fail "unit ExecStopPost"
grep -q '@' "$unit" && fail "unit has an unset @VARIABLE@"

[ $failures -eq 0 ] && echo "ok: installed into a temporary prefix"
[ $failures -eq 0 ]
