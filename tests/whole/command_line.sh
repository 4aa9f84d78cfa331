#!/usr/bin/env bash
# The real program's command line with and without a display: -h, -V and an
# unknown option print and exit before any window or file; a mistyped word
# is named and the windows start; --headless and an X server that refuses
# the connection both lead to a headless run that ends with status 0.
# Usage: command_line.sh PATH-TO-VANTREL
set -uo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/settings.sh"
on_x_server "$@"
unset WAYLAND_DISPLAY VANTREL_LINE_LOG VANTREL_TX_LOG XDG_RUNTIME_DIR
export VANTREL_PORT=sim
work=$(mktemp -d)
trap 'rm -rf "$work"; [ -n "${refuser:-}" ] && kill "$refuser" 2>/dev/null' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; for f in stdout stderr; do [ -f $f ] && { echo "-- $f"; cat $f; }; done; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

# With the display and without: status, what lands where, and no file.
for display in "$DISPLAY" ""; do
    where=${display:-no display}
    while read -r option want out; do
        DISPLAY=$display timeout 20 "$program" $option >stdout 2>stderr; status=$?
        if [ "$status" = "$want" ] && grep -q "$out" stdout stderr && [ ! -e VANTREL.SET ] \
            && { [ "$want" = 0 ] && [ ! -s stderr ] || [ ! -s stdout ]; }; then
            ok "$option ($where)"
        else
            fail "$option ($where): status $status"
        fi
    done <<'TABLE'
-h 0 ^Usage: vantrel
-V 0 ^build 4\.14
--bogus 2 ^Usage: vantrel
TABLE
done

# A mistyped word is named; the windows start without an automatic start.
timeout 20 "$program" autostrat >stdout 2>stderr &
pid=$!
if xdotool search --sync --onlyvisible --name '^Vantrel' >/dev/null 2>&1 \
    && grep -qx "vantrel: ignoring 'autostrat': only 'autostart' starts a transmission" stderr; then
    ok "a mistyped word is named"
else
    fail "mistyped word"
fi
kill -TERM $pid; wait $pid; status=$?
[ $status = 0 ] || fail "SIGTERM after the mistyped word: status $status"
rm -f VANTREL.SET

# A launch from the desktop menu keeps its settings in one known folder, made
# when needed (here the refusal without a file shows where it looked).
XDG_CONFIG_HOME=$work/config timeout 20 "$program" --desktop --headless autostart >stdout 2>stderr; status=$?
[ $status = 2 ] && [ -d "$work/config/vantrel" ] && [ "$(stat -c %a "$work/config")" = 700 ] \
    && grep -q "no VANTREL.SET in $work/config/vantrel:" stderr && ok "--desktop settings folder" \
    || fail "--desktop: status $status"

# A beacon that keys E once on the simulated LPT1 and ends.
write_settings 8=14 76=01 77=45
timeout 60 "$program" --headless autostart >stdout 2>stderr; status=$?
[ $status = 0 ] && grep -qx 'vantrel: --headless: running headless' stderr \
    && ok "--headless with a display" || fail "--headless: status $status"

# An X server that wants an authorisation this client does not have.
fifo=$work/fifo; mkfifo "$fifo"
xauth -q -f "$work/auth" add :0 . 0123456789abcdef0123456789abcdef 2>/dev/null
Xvfb -displayfd 3 -auth "$work/auth" -nolisten tcp 3>"$fifo" 2>/dev/null &
refuser=$!
read -r -t 30 number <"$fifo"
DISPLAY=:$number XAUTHORITY=$work/none timeout 60 "$program" autostart >stdout 2>stderr; status=$?
if [ $status = 0 ] && grep -qx 'vantrel: no display: running headless' stderr && ! grep -q XDG_RUNTIME_DIR stderr; then
    ok "an X server that refuses the connection: headless"
else
    fail "refusing X server: status $status"
fi

[ $failures -eq 0 ] && echo "command line: all checks passed"
[ $failures -eq 0 ]
