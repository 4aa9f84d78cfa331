#!/usr/bin/env bash
# A headless beacon under a service manager's notification protocol, on a
# socket of the test's own: READY=1 once the port is open, STATUS lines for
# the wait and the transmission, WATCHDOG=1 from the keying timer.
# Usage: notify.sh PATH-TO-VANTREL PATH-TO-NOTIFY-LISTEN
set -uo pipefail
program=$(realpath "$1")
listen=$(realpath "$2")
source "$(dirname "$0")/settings.sh"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM VANTREL_LINE_LOG VANTREL_TX_LOG WATCHDOG_PID
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# "EEE" on the simulated COM3, twice with a minute's interval: a start, the
# wait for the repeat, ended by SIGTERM.
write_settings 8=03 20=02 24=01 76=03 77=45 78=45 79=45
"$listen" "$work/notify" 30 >messages &
listener=$!
for _ in $(seq 50); do grep -q listening messages && break; sleep 0.1; done
NOTIFY_SOCKET=$work/notify WATCHDOG_USEC=1000000 VANTREL_PORT=sim "$program" autostart >stdout 2>stderr &
pid=$!
for _ in $(seq 300); do grep -q '^STATUS=text 1, next start [0-9]' messages && break; sleep 0.1; done
kill -TERM $pid; wait $pid; status=$?
kill $listener 2>/dev/null; wait $listener 2>/dev/null

failures=0
fail() { echo "FAILED: $*"; echo "-- messages"; cat messages; echo "-- stderr"; cat stderr; failures=$((failures + 1)); }
[ $status = 0 ] || fail "status $status"
# READY comes first, with the status of the beacon that waits to start.
[ "$(sed -n 2p messages)" = "READY=1" ] && sed -n 3p messages | grep -qx 'STATUS=text 1, next start now' \
    || fail "READY=1 with the first status"
grep -qx 'STATUS=transmitting text 1, ends [0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z' messages || fail "STATUS while transmitting"
grep -qx 'STATUS=text 1, next start [0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z' messages || fail "STATUS of the wait for the repeat"
# WATCHDOG_USEC=1 s: a ping every half second or so, never a burst.
pings=$(grep -c '^WATCHDOG=1$' messages)
[ "$pings" -ge 2 ] || fail "$pings watchdog pings"
[ $failures -eq 0 ] && echo "ok: READY, STATUS and WATCHDOG on the notification socket ($pings pings)"
[ $failures -eq 0 ]
