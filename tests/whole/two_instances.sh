#!/usr/bin/env bash
# Two Vantrels in one folder: while one keys (headless, on simulated
# hardware), a second start is refused with the first one's process id,
# headless on standard error and with a display in the message dialog, and
# --release-port leaves the first one's port alone. Once the first is killed
# (SIGKILL: no clean-up), nothing stale blocks --release-port.
# Usage: two_instances.sh PATH-TO-VANTREL
set -uo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"
on_x_server "$@"

work=$(mktemp -d)
first=
trap '[ -n "$first" ] && kill -KILL "$first" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; for f in stderr lines.log; do [ -f $f ] && { echo "-- $f"; cat $f; }; done; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

# Endless TTT on LPT1.
write_settings 8=14 20=00 24=00 76=03 77=54 78=54 79=54
QT_QPA_PLATFORM=offscreen VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log "$program" autostart 2>first.err &
first=$!
for _ in $(seq 150); do grep -q 'key on' lines.log 2>/dev/null && break; sleep 0.1; done
grep -q 'key on' lines.log || fail "the first one does not key"

QT_QPA_PLATFORM=offscreen VANTREL_PORT=sim timeout 20 "$program" autostart >/dev/null 2>stderr; status=$?
[ $status = 4 ] && grep -q "another Vantrel (process $first) runs with $work/VANTREL.SET" stderr \
    && ok "a second headless start" || fail "second headless start: status $status"

# With a display: the message dialog, then the same status.
VANTREL_PORT=sim QT_QPA_PLATFORM=xcb timeout 30 "$program" 2>stderr &
second=$!
shown=
for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Error$' 2>/dev/null | head -1)
    [ -n "$id" ] && { shown=yes; break; }
    sleep 0.1
done
[ -n "$shown" ] && { sleep 0.3; xdotool windowactivate --sync "$id" key Return 2>/dev/null || xdotool key Return; }
wait $second; status=$?
[ "$shown" = yes ] && [ $status = 4 ] && grep -q "process $first" stderr && ok "a second start with a display" \
    || fail "second start with a display: shown=$shown status $status"

before=$(grep -c . lines.log)
VANTREL_PORT=sim "$program" --release-port 2>stderr; status=$?
[ $status = 4 ] && grep -q "its port is left as it is" stderr && kill -0 $first \
    && ok "--release-port leaves a live one alone" || fail "--release-port against a live one: status $status"

kill -KILL $first; wait $first 2>/dev/null; first=
VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log "$program" --release-port 2>stderr; status=$?
[ $status = 0 ] && [ "$(tail -n +$((before + 1)) lines.log | tail -4 | cut -d' ' -f2,3 | tr '\n' '|')" = "open LPT1|key off|ptt off|close LPT1|" ] \
    && ok "--release-port after a kill" || fail "--release-port after a kill: status $status"

[ $failures -eq 0 ]
