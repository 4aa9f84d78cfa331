#!/usr/bin/env bash
# Timing of the real program: a QRSS transmission at 1 s dots on simulated
# hardware, with the line log. Every key edge is due on a tenth of a second
# of the local clock (the engine's instants); its error is how long after that
# tenth the log saw it. Also the program's CPU time per minute of
# transmission and its peak memory. Usage: bench/keying_accuracy.sh [text]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
program=$root/build/vantrel
[ -x "$program" ] || { echo "build first: scripts/test or scripts/run" >&2; exit 1; }
text=${1:-PARIS TEE} # about one minute at 1 s dots

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -n $((100 + RANDOM % 400)) "$(realpath "$0")" "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
source "$root/tests/whole/settings.sh"
bytes=(8=01 76=$(printf '%02x' "${#text}"))
for ((i = 0; i < ${#text}; i++)); do
    bytes+=("$((77 + i))=$(printf '%02x' "'${text:i:1}")")
done
write_settings "${bytes[@]}"

VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" autostart 2>/dev/null &
pid=$!
# The transmit window closes at the end of the message; the log then shows PTT off.
for _ in $(seq 1800); do
    offs=$(grep -c 'ptt off' lines.log 2>/dev/null || true)
    [ "${offs:-0}" -ge 2 ] && break
    sleep 0.1
done
ticks=$(getconf CLK_TCK)
read -r -a stat < "/proc/$pid/stat"
cpu_ticks=$(( stat[13] + stat[14] ))
peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
kill -TERM "$pid"; wait "$pid" || true

# The transmission's edges: from its first PTT on to the PTT off that ends it
# (the key-off lines of the port's opening and release are not keying).
awk '$2 == "ptt" && $3 == "on" && !s { s = 1 } s && $2 == "ptt" && $3 == "off" { exit } s && $2 == "key"' \
    lines.log > edges.log
# Errors sorted for the median and the worst; then the summary.
errors=$(awk '{ split($1, p, /[:.]/); print p[4] % 100 }' edges.log | sort -n)
n=$(echo "$errors" | grep -c . || true)
[ "${n:-0}" -gt 0 ] || { echo "no key edges in the log"; exit 1; }
median=$(echo "$errors" | sed -n "$(( (n + 1) / 2 ))p")
worst=$(echo "$errors" | tail -1)
awk -v cpu="$cpu_ticks" -v hz="$ticks" -v peak="$peak_kb" -v n="$n" -v median="$median" -v worst="$worst" '
    function ms(t,   p) { split(t, p, /[:.]/); return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4] }
    { t = ms($1); if (first == "") first = t; last = t }
    END {
        seconds = (last - first) / 1000
        printf "key edges: %d over %.1f s; error after the due tenth: median %d ms, worst %d ms (target < 15 ms)\n",
               n, seconds, median, worst
        printf "CPU: %.2f s in all, %.3f %% of one core per minute of transmission (target < 0.5 %%)\n",
               cpu / hz, 100 * (cpu / hz) / seconds
        printf "peak memory: %.1f MB (target < 80 MB)\n", peak / 1024
    }' edges.log
