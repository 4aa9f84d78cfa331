#!/usr/bin/env bash
# The real program on simulated hardware when things go wrong: a crash during
# a key-down leaves key and PTT off in the line log; a line log on a pipe whose
# reader leaves does not stop the transmission; --release-port switches the
# lines off and says why when it cannot. Usage: port_faults.sh PATH-TO-VANTREL
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"
# Windows on Xvfb, so that the end of a transmission shows as its window closing.
# The sanitizer build's exit status must count Vantrel's leaks only.

on_x_server "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ulimit -c 0   # the default action of the signal, without a core file here
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

wait_for() { # PATTERN FILE [TENTHS]
    for _ in $(seq "${3:-150}"); do
        grep -q "$1" "$2" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# A crash while the key is down: the handler switches key and PTT off, then
# the signal ends the program as it would.
crash_during_key_down() {
    local signal=$1 port_byte=$2
    write_settings 8="$port_byte" 76=01 77=54   # text 1 = T, a 3 s dash
    rm -f lines.log
    VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" autostart 2>stderr &
    local pid=$! status=0
    if ! wait_for 'key on' lines.log; then
        kill -KILL "$pid" 2>/dev/null || true; fail "$signal: no key-down"; cat lines.log stderr; return
    fi
    kill -"$signal" "$pid"
    { wait "$pid"; } 2>/dev/null || status=$?
    local tail_lines
    tail_lines=$(tail -n 3 lines.log | cut -d' ' -f2,3 | tr '\n' '|')
    if [ "$tail_lines" = "key on|key off|ptt off|" ] && [ "$status" -eq $((128 + $(kill -l "$signal"))) ]; then
        echo "ok: SIG$signal during a key-down (port byte $port_byte)"
    else
        fail "SIG$signal: exit $status, line log:"; cat lines.log stderr
    fi
}

crash_during_key_down ABRT 03
crash_during_key_down SEGV 14
crash_during_key_down QUIT 01

# A line log on a pipe whose reader leaves after the first lines: the program
# keys on to the end of the text and ends normally.
pipe_reader_leaves() {
    write_settings 8=03 76=01 77=45   # text 1 = E
    rm -f fifo got
    mkfifo fifo
    head -n 4 <fifo >got & # the date line and three entries
    local reader=$!
    VANTREL_PORT=sim VANTREL_LINE_LOG="$work/fifo" "$program" autostart 2>stderr &
    local pid=$! status=0
    wait "$reader"
    # The first line after the reader left fails; the transmission ends by
    # itself (E: about 3 s) and the transmit window closes.
    local ended=""
    for _ in $(seq 150); do
        if ! kill -0 "$pid" 2>/dev/null; then break; fi
        if [ -z "$(xdotool search --onlyvisible --name 'transmission started' 2>/dev/null)" ] \
            && grep -q 'write failed' stderr; then
            ended=yes; break
        fi
        sleep 0.1
    done
    alive=$(kill -0 "$pid" 2>/dev/null && echo yes || echo no)
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || status=$?
    if [ "$ended" = yes ] && [ "$alive" = yes ] && [ "$status" -eq 0 ] \
        && [ "$(grep -c 'line log .*write failed: Broken pipe' stderr)" = 1 ] \
        && [ "$(grep -v '^--- ' got | cut -d' ' -f2,3 | tr '\n' '|')" = "open COM3|key off|ptt off|" ]; then
        echo "ok: line log reader left; the transmission went on to its end"
    else
        fail "pipe: ended=$ended alive=$alive exit=$status"; cat got stderr
    fi
}
pipe_reader_leaves

# --release-port: no display needed, the lines off and closed, or the reason.
release() { # EXPECTED-STATUS STDERR-PATTERN [ENV...]
    local expected=$1 pattern=$2 status=0
    shift 2
    rm -f lines.log
    env -u DISPLAY VANTREL_LINE_LOG="$work/lines.log" "$@" "$program" --release-port 2>stderr || status=$?
    if [ "$status" -eq "$expected" ] && grep -q -- "$pattern" stderr; then
        echo "ok: --release-port: $pattern"
    else
        fail "--release-port: exit $status, wanted $expected and '$pattern'"; cat stderr
    fi
}
write_settings 8=03
release 0 'COM3 (simulated port): key and PTT off, port released' VANTREL_PORT=sim
[ "$(grep -v '^--- ' lines.log | cut -d' ' -f2,3 | tr '\n' '|')" = "open COM3|key off|ptt off|close COM3|" ] \
    || { fail "--release-port line log:"; cat lines.log; }
release 1 'COM3 (/nonexistent/tty) not opened: No such file or directory' \
    env -u VANTREL_PORT VANTREL_COM3=/nonexistent/tty
grep -q 'COM3 (/nonexistent/tty) cannot be opened, its lines were not switched' stderr || fail "no reason"
write_settings 8=14
release 0 'LPT1 (simulated port): key and PTT off' VANTREL_PORT=sim
release 1 'LPT1 (/nonexistent/lp) cannot be opened' env -u VANTREL_PORT VANTREL_LPT1=/nonexistent/lp
write_settings 8=00
release 0 'no keying port is selected' VANTREL_PORT=sim
rm -f VANTREL.SET
release 2 'no readable VANTREL.SET' VANTREL_PORT=sim
status=0
env -u DISPLAY "$program" --release-port autostart 2>stderr || status=$?
[ "$status" -eq 2 ] && grep -q -- '--release-port takes no other argument' stderr \
    && echo "ok: --release-port with another argument is refused" || { fail "--release-port autostart: $status"; cat stderr; }

[ "$failures" -eq 0 ]
