#!/usr/bin/env bash
# The real program with no display at all (no X server, DISPLAY and
# WAYLAND_DISPLAY unset): the options that print, the refusals, a headless
# auto start on simulated hardware that ends by itself, a transmission log on
# a pipe, a start refused for its repeat time, a port that cannot open, and
# SIGTERM during a run. Under a service manager: journal priorities, the
# crash's line, and the notification protocol on a socket of the test's own.
# Usage: headless.sh PATH-TO-VANTREL PATH-TO-NOTIFY-LISTEN
set -uo pipefail
program=$(realpath "$1")
listen=$(realpath "$2")
source "$(dirname "$0")/settings.sh"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM VANTREL_PORT VANTREL_LINE_LOG VANTREL_TX_LOG WATCHDOG_PID

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
# The line log's entries without the simulated port's outputs after them.
entries() { grep -v '^--- ' | cut -d' ' -f2- | sed 's/ \[[^]]*\]$//'; }
fail() { echo "FAILED: $*"; for f in stdout stderr lines.log tx.log; do [ -f $f ] && { echo "-- $f"; cat $f; }; done; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }
# The settings file is saved when its modification time (ns) moves.
saved_at() { stat -c %y VANTREL.SET; }
# Runs the program on the simulated port with logs; the status lands in $status.
run() { VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log VANTREL_TX_LOG=$work/tx.log \
        timeout 60 "$program" "$@" >stdout 2>stderr; status=$?; }

# Options print and exit without a window or a settings file.
"$program" --version >stdout 2>stderr; status=$?
[ $status = 0 ] && grep -q '^vantrel 4\.14 ' stdout && [ ! -e VANTREL.SET ] && ok "--version" || fail "--version: $status"
"$program" --help >stdout 2>stderr; status=$?
[ $status = 0 ] && grep -q '^Usage: vantrel ' stdout && [ ! -e VANTREL.SET ] && ok "--help" || fail "--help: $status"
"$program" --frobnicate >stdout 2>stderr; status=$?
[ $status = 2 ] && grep -q "unknown option '--frobnicate'" stderr && [ ! -s stdout ] && ok "unknown option" || fail "unknown option: $status"
# Without a display only "autostart" makes sense, also when the platform is chosen.
timeout 20 "$program" >stdout 2>stderr; status=$?
[ $status = 2 ] && grep -q "only 'vantrel autostart'" stderr && [ ! -e VANTREL.SET ] && ok "no autostart, no display" || fail "no autostart: $status"
DISPLAY=:0 QT_QPA_PLATFORM=offscreen timeout 20 "$program" now >stdout 2>stderr; status=$?
[ $status = 2 ] && ok "no autostart, offscreen chosen" || fail "offscreen chosen: $status"
# No VANTREL.SET: a beacon does not start from defaults nobody chose, and writes nothing.
run autostart
if [ $status = 2 ] && [ "$(ls)" = "$(printf 'stderr\nstdout')" ] \
    && grep -qx "vantrel: no VANTREL.SET in $work: make one with vantrel-settings or the windows" stderr; then
    ok "no settings file"
else
    fail "no settings file: status $status, files $(ls | tr '\n' ' ')"
fi

# An auto start that keys E on LPT1 and ends by itself: port released, settings saved.
write_settings 8=14 76=01 77=45
before=$(saved_at); rm -f lines.log tx.log
run autostart
expected=$(printf 'open LPT1\nkey off\nptt off\nptt on\nkey on\nkey off\nptt off\nkey off\nptt off\nclose LPT1')
if [ $status = 0 ] && [ "$(entries < lines.log)" = "$expected" ] && grep -q 'running headless' stderr \
    && [ "$(saved_at)" != "$before" ] \
    && [ "$(cut -d' ' -f3- tx.log | sed 's/ clock=[^ ]*//')" = "$(printf 'start 1 QRSS 1000ms E\nend 1 QRSS 1000ms E')" ]; then
    ok "headless auto start ends by itself"
else
    fail "headless auto start: status $status"
fi
# The kernel's clock state, said at the start and logged with it: this
# machine's clock reports itself unsynchronised, a synchronised one says nothing.
warning='vantrel: the system clock is not synchronised: starts on the minute grid may be off'
if grep -qx "$warning" stderr; then
    clock=unsynced; grep -q '^\S* \S* start 1 QRSS 1000ms clock=unsynced E$' tx.log
else
    clock=synced; grep -q '^\S* \S* start 1 QRSS 1000ms clock=synced,esterror=[0-9]*us E$' tx.log
fi && [ "$(grep -c 'system clock' stderr)" = "$([ $clock = unsynced ] && echo 1 || echo 0)" ] \
    && ok "clock $clock: said once and logged" || fail "clock state ($clock)"
# Told to wait for the clock, at most a second: then it starts with the warning.
rm -f lines.log tx.log
start=$SECONDS
run autostart --wait-for-clock=1
if [ $clock = synced ]; then
    [ $status = 0 ] && ! grep -q 'waiting' stderr && ok "no wait for a synchronised clock" || fail "wait, synced"
elif [ $status = 0 ] && [ "$(head -2 stderr | tail -1)" = 'vantrel: waiting for the system clock to be synchronised (at most 1 s)' ] \
    && [ "$(sed -n 3p stderr)" = "$warning" ] && [ $((SECONDS - start)) -ge 1 ] && grep -q 'key on' lines.log; then
    ok "waited for the clock, then started anyway"
else
    fail "wait for the clock: status $status"
fi

# A transmission log on a pipe that nobody reads: said once, the run keys to its end.
rm -f lines.log tx.fifo; mkfifo tx.fifo
VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log VANTREL_TX_LOG=$work/tx.fifo timeout 60 "$program" autostart 2>stderr
[ $? = 0 ] && [ "$(grep -c 'no program reads this pipe' stderr)" = 1 ] && grep -q 'key on' lines.log \
    && ok "transmission log on a pipe without a reader" || fail "transmission log pipe"

# A repeated text longer than its interval: refused on standard error, nothing
# keyed. The offscreen platform chosen by hand counts as no display.
write_settings 8=14 12=10 13=27 20=02 24=01 76=05 77=45 78=45 79=45 80=45 81=45
rm -f lines.log tx.log
start=$SECONDS
DISPLAY=:0 QT_QPA_PLATFORM=offscreen run autostart
if [ $status = 1 ] && [ $((SECONDS - start)) -le 10 ] && ! grep -q 'key on\|ptt on' lines.log \
    && grep -q 'the platform shows no window: running headless' stderr \
    && grep -q 'Error: Repeat function : Text duration (including start and stop id.) exceeds repeat time' stderr \
    && [ "$(tail -1 lines.log | entries)" = "close LPT1" ] && [ ! -s tx.log ]; then
    ok "repeat-time refusal"
else
    fail "repeat-time refusal: status $status"
fi

# A port that cannot be opened: its reason, and a status a service manager restarts on.
write_settings 8=09 76=01 77=45
VANTREL_COM9=$work/no-such-device timeout 60 "$program" autostart >stdout 2>stderr; status=$?
[ $status = 3 ] && grep -q "COM9 ($work/no-such-device) not opened" stderr && ok "port failure" || fail "port failure: $status"
# A port number that names no port (from a file edited by hand): which one, and why.
write_settings 8=16 76=01 77=45
run autostart
[ $status = 3 ] && grep -q "port number 22 in the settings is no port" stderr && ok "unknown port number" \
    || fail "unknown port number: $status"

# SIGTERM while keying endless repeats: key and PTT off, port closed, settings saved.
write_settings 8=03 20=00 24=00 76=03 77=54 78=54 79=54
before=$(saved_at); rm -f lines.log tx.log
VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log VANTREL_TX_LOG=$work/tx.log "$program" autostart >stdout 2>stderr &
pid=$!
for _ in $(seq 200); do grep -q 'key on' lines.log 2>/dev/null && break; sleep 0.1; done
kill -TERM $pid
wait $pid; status=$?
tail3=$(tail -3 lines.log | entries | tr '\n' ,)
if [ $status = 0 ] && [ "$tail3" = "key off,ptt off,close COM3," ] && [ "$(saved_at)" != "$before" ] \
    && [ "$(tail -1 tx.log | cut -d' ' -f3-)" = "stop-signal 1 QRSS 1000ms TTT" ]; then
    ok "SIGTERM during a headless run"
else
    fail "SIGTERM: status $status, last lines $tail3, saved_at $before $(saved_at)"
fi

# Under a service manager's journal: every line with its priority, the
# summary and the transmission's lines; a crash says which signal.
write_settings 8=03 20=00 24=00 76=03 77=54 78=54 79=54
rm -f lines.log stderr; touch stderr
JOURNAL_STREAM=$(stat -c %d:%i stderr) VANTREL_PORT=sim VANTREL_LINE_LOG=$work/lines.log \
    "$program" autostart 2>>stderr >stdout &
pid=$!
for _ in $(seq 200); do grep -q 'key on' lines.log 2>/dev/null && break; sleep 0.1; done
kill -SEGV $pid
wait $pid; status=$?
if [ $status = 139 ] && ! grep -qv '^<[2346]>vantrel: ' stderr \
    && grep -qx '<6>vantrel: port COM3 (simulated port), text 1 "TTT", QRSS 1000 ms dots, endless repeats back to back, no sync, next start now' stderr \
    && grep -q '^<6>vantrel: [0-9T:-]*Z start 1 QRSS 1000ms TTT$' stderr \
    && grep -q '^<4>vantrel: the system clock\|^<6>vantrel: .*running headless' stderr \
    && [ "$(tail -1 stderr)" = '<2>vantrel: crashed by SIGSEGV: key and PTT off' ]; then
    ok "journal priorities, summary and the crash's signal"
else
    fail "journal: status $status"
fi

# READY=1 once the port is open, STATUS for the transmission and the wait for
# its repeat (EEE twice, a minute apart), WATCHDOG=1 from the keying timer.
write_settings 8=03 20=02 24=01 76=03 77=45 78=45 79=45
"$listen" "$work/notify" 30 >messages &
listener=$!
for _ in $(seq 50); do grep -q listening messages && break; sleep 0.1; done
NOTIFY_SOCKET=$work/notify WATCHDOG_USEC=1000000 VANTREL_PORT=sim "$program" autostart >stdout 2>stderr &
pid=$!
for _ in $(seq 300); do grep -q '^STATUS=text 1, next start [0-9]' messages && break; sleep 0.1; done
kill -TERM $pid; wait $pid; status=$?
kill $listener; wait $listener
clock='[0-2][0-9]:[0-5][0-9]:[0-5][0-9]Z'
if [ $status = 0 ] && [ "$(sed -n 2,3p messages)" = "$(printf 'READY=1\nSTATUS=text 1, next start now')" ] \
    && grep -qx "STATUS=transmitting text 1, ends $clock" messages && grep -qx "STATUS=text 1, next start $clock" messages \
    && [ "$(grep -c '^WATCHDOG=1$' messages)" -ge 2 ]; then
    ok "READY, STATUS and WATCHDOG on the notification socket"
else
    fail "notification socket: status $status"; cat messages
fi

[ $failures -eq 0 ]
