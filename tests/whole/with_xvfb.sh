#!/usr/bin/env bash
# Runs a command on an X server of its own: Xvfb picks a free display number
# itself (-displayfd) and says it once it accepts connections, so parallel
# runs cannot race for a number as xvfb-run -a can. -noreset: a server that
# resets when its last client leaves refuses connections meanwhile (the
# program and xdotool come and go). Usage: with_xvfb.sh CMD...
set -u
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
server=$!
exec 4<"$fifo"
rm -f "$fifo"
if ! read -r -t 30 number <&4; then
    echo "with_xvfb: Xvfb did not start" >&2
    kill "$server" 2>/dev/null
    exit 1
fi
exec 4<&-
DISPLAY=:$number "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
