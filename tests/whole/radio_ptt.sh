#!/usr/bin/env bash
# The real program, headless, keying a radio's PTT through a rigctld of its own
# (Hamlib's dummy radio on 127.0.0.1), read back with rigctl as another client
# would: on during a short transmission and off at its end; off after Cancel in
# the transmit window (on a private Xvfb) and after SIGTERM;
# a rigctld killed mid-transmission is "port lost", started again "port back"
# with PTT on again. A crash's CAT PTT is switched off by --release-port.
# Usage: radio_ptt.sh PATH-TO-VANTREL
set -uo pipefail
program=$(realpath "$1")
source "$(dirname "$0")/settings.sh"
on_x_server "$@"
display=$DISPLAY # for the Cancel; everything else runs headless
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM VANTREL_PORT VANTREL_LINE_LOG VANTREL_TX_LOG

work=$(mktemp -d)
rigctld_pid=
stop_rigctld() { [ -n "$rigctld_pid" ] && kill -KILL "$rigctld_pid" 2>/dev/null && wait "$rigctld_pid" 2>/dev/null; rigctld_pid=; }
trap 'stop_rigctld; rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; for f in stderr lines.log; do [ -f $f ] && { echo "-- $f"; cat $f; }; done; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
ptt() { rigctl -m 2 -r "127.0.0.1:$port" t 2>/dev/null; }
# Starts the dummy radio's rigctld on $port; false when it does not answer.
start_rigctld() {
    rigctld -m 1 -P RIG -T 127.0.0.1 -t "$port" 2>/dev/null &
    rigctld_pid=$!
    for _ in $(seq 50); do [ "$(ptt)" = 0 ] && return 0; sleep 0.1; done
    return 1
}
# A port nobody else listens on: the first of a few where rigctld starts.
for _ in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 20000))
    ptt >/dev/null && continue
    start_rigctld && break
    stop_rigctld
done
[ -n "$rigctld_pid" ] || { echo "FAILED: no rigctld (scripts/test installs libhamlib-utils)"; exit 1; }
export VANTREL_RADIO_MODEL=2 VANTREL_RADIO_DEVICE=127.0.0.1:$port VANTREL_LINE_LOG=$work/lines.log
# Waits up to 20 s for the radio's PTT to read $1.
wait_ptt() { for _ in $(seq 100); do [ "$(ptt)" = "$1" ] && return 0; sleep 0.2; done; return 1; }

# E on the radio, ending by itself: PTT on while it runs, off at its end.
write_settings 8=1f 76=01 77=45
timeout 60 "$program" autostart >stdout 2>stderr &
pid=$!
wait_ptt 1; seen_on=$?
wait $pid; status=$?
if [ $status = 0 ] && [ $seen_on = 0 ] && [ "$(ptt)" = 0 ] && grep -q 'close Radio' lines.log; then
    ok "PTT on during a transmission, off at its end"
else
    fail "short transmission: status $status, PTT seen on: $seen_on, now $(ptt)"
fi

# Endless TTT: the rigctld killed mid-transmission, then started again; SIGTERM ends it.
write_settings 8=1f 20=00 24=00 76=03 77=54 78=54 79=54
rm -f lines.log
"$program" autostart >stdout 2>stderr &
pid=$!
wait_ptt 1 || fail "endless run: PTT never on"
stop_rigctld
for _ in $(seq 100); do grep -q 'port lost: Radio' stderr && break; sleep 0.2; done
grep -q "port lost: Radio (model 2 127.0.0.1:$port)" stderr && ok "killed rigctld: port lost" || fail "no port lost"
start_rigctld || fail "rigctld not restarted"
wait_ptt 1 && grep -q "port back: Radio" stderr && ok "restarted rigctld: port back, PTT on" || fail "no port back"
kill -TERM $pid
wait $pid; status=$?
[ $status = 0 ] && [ "$(ptt)" = 0 ] && ok "SIGTERM: PTT off" || fail "SIGTERM: status $status, PTT $(ptt)"

# Cancel in the transmit window: PTT off, the program stays.
DISPLAY=$display "$program" autostart >stdout 2>stderr &
pid=$!
wait_ptt 1
window=
for _ in $(seq 100); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name 'transmission started' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
DISPLAY=$display xdotool windowfocus --sync "$window" key Escape 2>/dev/null
wait_ptt 0; off=$?
alive=$(kill -0 $pid 2>/dev/null && echo yes || echo no)
kill -TERM $pid; wait $pid
[ -n "$window" ] && [ $off = 0 ] && [ $alive = yes ] && ok "Cancel: PTT off" || fail "Cancel: window '$window', PTT $(ptt), alive $alive"

# SIGKILL leaves PTT on; --release-port switches it off.
"$program" autostart >stdout 2>stderr &
pid=$!
wait_ptt 1
kill -KILL $pid; wait $pid 2>/dev/null
on_after_kill=$(ptt)
timeout 30 "$program" --release-port >stdout 2>stderr; status=$?
[ "$on_after_kill" = 1 ] && [ $status = 0 ] && [ "$(ptt)" = 0 ] && grep -q 'key and PTT off, port released' stderr \
    && ok "--release-port after SIGKILL: PTT off" || fail "--release-port: status $status, PTT $on_after_kill then $(ptt)"

[ $failures -eq 0 ]
