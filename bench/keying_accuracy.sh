#!/usr/bin/env bash
# Timing of the real program against its oracle: a QRSS transmission at 1 s
# dots on simulated hardware, with the line log, RUNS times. Every key and PTT
# edge of the log is compared with the instant that vantrel-timeline gives for
# the same start (the same VANTREL.SET, started in the tenth before the real
# first tick). An edge more than 50 ms off is a tick off: the milliseconds past
# the tenth alone cannot see those. Also the program's CPU time per minute of
# transmission and its peak memory (first run).
# Usage: bench/keying_accuracy.sh [TEXT] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
program=$root/build/vantrel
timeline=$root/build/vantrel-timeline
[ -x "$program" ] && [ -x "$timeline" ] || { echo "build first: scripts/test or scripts/run" >&2; exit 1; }
text=${1:-PARIS TEE} # about one minute at 1 s dots
runs=${2:-1}

# The windows on the X server, not the test run's offscreen platform.
unset QT_QPA_PLATFORM
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

# Line operations of one transmission: from its first PTT on to the PTT off
# that ends it (the port's opening and release are not keying).
transmission() {
    awk '{ sub(/^\+[0-9]+ /, "") } # the day of a timeline past midnight
         $2 == "ptt" && $3 == "on" && !s { s = 1 } s && ($2 == "key" || $2 == "ptt" || $2 == "dfcw") { print $1, $2, $3 }
         s && $2 == "ptt" && $3 == "off" { exit }' "$1"
}

summary=$work/summary
: > "$summary"
for ((run = 1; run <= runs; run++)); do
    rm -f lines.log
    VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" autostart 2>/dev/null &
    pid=$!
    ended=
    for _ in $(seq 3000); do
        offs=$(grep -c 'ptt off' lines.log 2>/dev/null || true)
        [ "${offs:-0}" -ge 2 ] && break
        kill -0 "$pid" 2>/dev/null || { ended=1; break; }
        sleep 0.1
    done
    if [ -n "$ended" ]; then
        # (a loaded X server can refuse the connection; nothing to compare then)
        wait "$pid" && status=0 || status=$?
        echo "run $run: vantrel ended with status $status before the transmission did; left out" >> "$work/notes"
        continue
    fi
    if [ -z "${cpu_ticks:-}" ]; then
        ticks=$(getconf CLK_TCK)
        read -r -a stat < "/proc/$pid/stat"
        cpu_ticks=$(( stat[13] + stat[14] ))
        peak_kb=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    fi
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || true

    transmission lines.log > real.log
    [ -s real.log ] || { echo "run $run: no transmission in the log"; cat lines.log; exit 1; }
    # The timeline started 50 ms before the tenth of the real first tick.
    start=$(awk 'NR == 1 { split($1, p, /[:.]/); t = ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4]
                 t = int(t / 100) * 100 - 50; if (t < 0) t += 86400000
                 printf "%02d:%02d:%02d.%03d", t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000 }' real.log)
    "$timeline" --start "$start" > timeline.out
    transmission timeline.out > oracle.log
    paste -d' ' real.log oracle.log | awk -v run="$run" '
        function ms(t,   p) { split(t, p, /[:.]/); return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4] }
        NF != 6 || $2 != $5 || $3 != $6 { bad++; next }
        {
            r = ms($1); o = ms($4); e = r - o
            if ($2 == "key" && $3 == "on" && first == "") { first = r; ofirst = o }
            rel = first == "" ? 0 : (r - first) - (o - ofirst)
            print run, e, (rel < 0 ? -rel : rel), (e >= 50 || e <= -50)
        }
        END { if (bad) print run, "mismatch", bad }' >> "$summary"
    if [ "$(wc -l < real.log)" != "$(wc -l < oracle.log)" ]; then
        echo "run $run: $(wc -l < real.log) real line operations, $(wc -l < oracle.log) in the timeline" >> "$work/notes"
    fi
done

[ -f "$work/notes" ] && cat "$work/notes"
if grep -q mismatch "$summary"; then
    echo "line operations differ from vantrel-timeline:"; grep mismatch "$summary"
fi
errors=$(grep -v mismatch "$summary" | awk '{ print $2 }' | sort -n)
n=$(echo "$errors" | grep -c . || true)
[ "${n:-0}" -gt 0 ] || { echo "no edges compared"; exit 1; }
median=$(echo "$errors" | sed -n "$(( (n + 1) / 2 ))p")
worst=$(grep -v mismatch "$summary" | awk '{ e = $2 < 0 ? -$2 : $2; if (e > w) w = e } END { print w + 0 }')
relworst=$(grep -v mismatch "$summary" | awk '{ if ($3 > w) w = $3 } END { print w + 0 }')
off=$(grep -v mismatch "$summary" | awk '$4 == 1' | wc -l)
seconds=$(awk 'function ms(t, p) { split(t, p, /[:.]/); return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4] }
               NR == 1 { f = ms($1) } { l = ms($1) } END { print (l - f) / 1000 }' real.log)
echo "runs: $runs of \"$text\"; edges compared with vantrel-timeline: $n"
echo "edge error (real - timeline): median $median ms, worst $worst ms (target < 15 ms)"
echo "edges relative to the first key-down: worst difference $relworst ms (target < 15 ms)"
echo "edges a tick off (50 ms or more): $off"
awk -v cpu="$cpu_ticks" -v hz="$ticks" -v peak="$peak_kb" -v seconds="$seconds" 'BEGIN {
    printf "CPU: %.2f s in all, %.3f %% of one core per minute of transmission (target < 0.5 %%)\n",
           cpu / hz, 100 * (cpu / hz) / (seconds > 0 ? seconds : 1)
    printf "peak memory: %.1f MB (target < 80 MB)\n", peak / 1024 }'
