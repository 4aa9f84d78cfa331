#!/usr/bin/env bash
# Two Vantrels in one folder: while one keys, a second start is refused with
# the first one's process id (headless, and with a display in the message
# dialog), and --release-port leaves the first one's port alone; once the
# first is killed, nothing stale blocks it. Usage: two_instances.sh PATH-TO-VANTREL
set -uo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/settings.sh"
on_x_server "$@"

work=$(mktemp -d)
trap 'kill -KILL $first 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
export VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log
failures=0
check() { if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; cat stderr; failures=$((failures + 1)); fi; }

write_settings 8=14 20=00 24=00 76=03 77=54 78=54 79=54   # endless TTT on LPT1
QT_QPA_PLATFORM=offscreen "$program" autostart 2>/dev/null &
first=$!
for _ in $(seq 150); do grep -q 'key on' lines.log 2>/dev/null && break; sleep 0.1; done

QT_QPA_PLATFORM=offscreen timeout 20 "$program" autostart 2>stderr; status=$?
check "a second headless start" '[ $status = 4 ] && grep -q "another Vantrel (process $first) runs with $work/VANTREL.SET" stderr'

QT_QPA_PLATFORM=xcb timeout 30 "$program" 2>stderr &
second=$!
for _ in $(seq 100); do xdotool search --onlyvisible --name '^Error$' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.3; xdotool key Return
wait $second; status=$?
check "a second start with a display" '[ $status = 4 ] && grep -q "process $first" stderr'

"$program" --release-port 2>stderr; status=$?
check "--release-port leaves a live one alone" '[ $status = 4 ] && kill -0 $first && [ "$(grep -c open lines.log)" = 1 ]'

kill -KILL $first; wait $first 2>/dev/null
"$program" --release-port 2>stderr; status=$?
check "--release-port after a kill" '[ $status = 0 ] && [ "$(tail -1 lines.log | cut -d" " -f2,3)" = "close LPT1" ]'
[ $failures -eq 0 ]
