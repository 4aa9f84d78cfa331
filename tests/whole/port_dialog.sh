#!/usr/bin/env bash
# The real program, driven by keys: Setup -> Port, COM3, OK, the warning's OK
# and the run's OK. On simulated hardware the opening is in the line log with
# both lines low; with a device that is missing, the run says why and the
# settings file keeps the choice. Usage: port_dialog.sh PATH-TO-VANTREL
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"

on_x_server "$@"

export QT_QPA_PLATFORM=xcb # driven through X, whatever the window tests use
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; cat lines.log stderr 2>/dev/null || true; failures=$((failures + 1)); }

# Waits for a window whose title matches $1; prints its id.
window() {
    for _ in $(seq 200); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Opens the port dialog from the main window and chooses COM3 (three items
# after "None") with the arrow keys, then OK; confirms the warning and the run.
choose_com3() {
    local main x y
    main=$(window '^Vantrel ') || { fail "no main window"; return 1; }
    eval "$(xdotool getwindowgeometry --shell "$main")"
    x=$X; y=$Y
    sleep 0.5
    xdotool mousemove $((x + 20)) $((y + 8)) click 1   # the Setup menu, first in the bar
    sleep 0.5
    xdotool key Down Return                              # its first item, Port
    window '^Select port$' >/dev/null || { fail "no port dialog"; return 1; }
    sleep 0.2
    xdotool key Down Down Down Return
    window 'WARNING' >/dev/null || { fail "no warning"; return 1; }
    sleep 0.2
    xdotool key Return
    window '^Initializing serial port$' >/dev/null || { fail "no opening run"; return 1; }
    sleep 0.3
    xdotool key Return
    sleep 0.3
}

# Simulated hardware: the opening in the line log, both lines low.
write_settings
VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" 2>stderr &
pid=$!
if choose_com3; then
    expected=$(printf 'open COM3 [RTS 0 DTR 0]\nkey off [RTS 0 DTR 0]\nptt off [RTS 0 DTR 0]')
    got=$(grep -v '^--- ' lines.log 2>/dev/null | head -3 | cut -d' ' -f2-)
    [ "$got" = "$expected" ] && echo "ok: COM3 opened from the port dialog" || fail "opening not logged"
fi
kill -TERM "$pid"; wait "$pid" || true; pid=
grep -q 'close COM3 \[RTS 0 DTR 0\]$' lines.log || fail "no release at exit"
[ "$(od -An -tu1 -j8 -N1 VANTREL.SET | tr -d ' ')" = 3 ] || fail "COM3 not saved"

# A device that is missing: the run fails, and the file keeps COM3.
write_settings
rm -f lines.log
VANTREL_COM3=/nonexistent/ttyUSB9 "$program" 2>stderr &
pid=$!
choose_com3 || true
kill -TERM "$pid"; wait "$pid" || true; pid=
grep -q 'COM3 (/nonexistent/ttyUSB9) not opened' stderr || fail "no reason on standard error"
[ "$(od -An -tu1 -j8 -N1 VANTREL.SET | tr -d ' ')" = 3 ] && echo "ok: failed opening keeps COM3" \
    || fail "the failed opening lost the choice"
[ "$failures" -eq 0 ]
