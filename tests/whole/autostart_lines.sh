#!/usr/bin/env bash
# The real program with "autostart" on simulated hardware: the port selected in
# VANTREL.SET opens directly with key and PTT low, the selected text
# is keyed, and a SIGTERM releases the port. Usage: autostart_lines.sh PATH-TO-VANTREL
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"
# Windows on Xvfb: the headless run has its own test (headless.sh).
on_x_server "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

check_port() {
    local port_byte=$1 name=$2
    write_settings 8="$port_byte" 76=01 77=45   # text 1 = E
    rm -f lines.log
    local today
    today=$(date +%F)
    VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" autostart 2>stderr &
    local pid=$!
    # The second PTT off ends the transmission.
    for _ in $(seq 150); do
        [ "$(grep -c 'ptt off' lines.log 2>/dev/null || true)" -ge 2 ] && break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || true
    local got expected
    # Each entry ends with the simulated port's outputs after it.
    got=$(grep -v '^--- ' lines.log | cut -d' ' -f2- | sed 's/ \[[^]]*\]$//')
    local outputs_ok=1
    # The local date on a line of its own comes first (a midnight may pass meanwhile).
    case $(head -1 lines.log) in "--- $today ---" | "--- $(date +%F) ---") ;; *) outputs_ok=0 ;; esac
    grep -v '^--- ' lines.log | grep -Evq '\[(RTS [01] DTR [01]|data [0-9A-F]{2} control [0-9A-F]{2})\]$' && outputs_ok=0
    # The opening itself leaves key and PTT low (a parallel port's data pins 4 to 9 high).
    grep -Eq "open $name \[(RTS 0 DTR 0|data FC control [0-9A-F]B)\]$" lines.log || outputs_ok=0
    expected=$(printf 'open %s\nkey off\nptt off\nptt on\nkey on\nkey off\nptt off\nkey off\nptt off\nclose %s' "$name" "$name")
    # The dot of E is keyed for about one second (1 s dots); its precision is
    # the benchmark's business (bench/keying_accuracy.sh), not a loaded test run's.
    local down
    down=$(awk 'function ms(t, p) { split(t, p, /[:.]/); return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4] }
                $2 == "key" && $3 == "on" { on = ms($1) } $2 == "key" && $3 == "off" && on { print ms($1) - on; exit }' lines.log)
    if [ "$got" = "$expected" ] && [ "$outputs_ok" = 1 ] && grep -Eq '^[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} open' lines.log \
        && [ "${down:-0}" -ge 700 ] && [ "${down:-0}" -le 1300 ]; then
        echo "ok: $name"
    else
        echo "FAILED: $name: key down ${down:-?} ms; line log was:"; cat lines.log; cat stderr
        failures=$((failures + 1))
    fi
}

check_port 14 LPT1
check_port 03 COM3
[ "$failures" -eq 0 ]
