#!/usr/bin/env bash
# The real program with "autostart" on simulated hardware: the port selected in
# VANTREL.SET opens directly, key and PTT go off at once, and a SIGTERM
# releases the port. Usage: autostart_lines.sh PATH-TO-VANTREL
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -n $((100 + RANDOM % 400)) "$0" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0

check_port() {
    local port_byte=$1 name=$2
    write_settings 8="$port_byte" 76=04 77=54 78=45 79=53 80=54   # text 1 = TEST
    rm -f lines.log
    VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" autostart 2>stderr &
    local pid=$!
    for _ in $(seq 100); do
        grep -q 'ptt off' lines.log 2>/dev/null && break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || true
    local got expected
    got=$(cut -d' ' -f2- lines.log)
    expected=$(printf 'open %s\nkey off\nptt off\nkey off\nptt off\nclose %s' "$name" "$name")
    if [ "$got" = "$expected" ] && grep -Eq '^[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3} open' lines.log; then
        echo "ok: $name"
    else
        echo "FAILED: $name: line log was:"; cat lines.log; cat stderr
        failures=$((failures + 1))
    fi
}

check_port 14 LPT1
check_port 03 COM3
[ "$failures" -eq 0 ]
