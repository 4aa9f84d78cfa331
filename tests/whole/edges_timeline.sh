#!/usr/bin/env bash
# The real program keys what vantrel-timeline shows: two autostart runs of
# "EE" at 1 s dots on simulated hardware; every line operation of the line
# log is the timeline's, each within a tick of it (the milliseconds are the
# benchmark's business: bench/keying_accuracy.sh).
# Usage: edges_timeline.sh PATH-TO-VANTREL PATH-TO-VANTREL-TIMELINE
set -euo pipefail
program=$(realpath "$1")
timeline=$(realpath "$2")
here=$(dirname "$0")
source "$here/settings.sh"

# The windows on an X server of their own.
on_x_server "$@"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
write_settings 8=01 76=02 77=45 78=45 # COM1, text 1 = EE

transmission() {
    awk '{ sub(/^\+[0-9]+ /, "") } # the day of a timeline past midnight
         $2 == "ptt" && $3 == "on" && !s { s = 1 } s && ($2 == "key" || $2 == "ptt") { print $1, $2, $3 }
         s && $2 == "ptt" && $3 == "off" { exit }' "$1"
}

failures=0
# One autostart run to the end of its transmission; false when Vantrel ended
# before it (a loaded machine's X server now and then refuses a connection).
autostart_run() {
    rm -f lines.log
    VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" autostart 2>stderr &
    local pid=$! ended=
    for _ in $(seq 300); do
        [ "$(grep -c 'ptt off' lines.log 2>/dev/null || true)" -ge 2 ] && break
        kill -0 "$pid" 2>/dev/null || { ended=1; break; }
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" || true
    [ -z "$ended" ] || { echo "note: Vantrel ended early: $(head -1 stderr)"; return 1; }
}

for run in 1 2; do
    autostart_run || autostart_run || true
    transmission lines.log > real.log
    start=$(awk 'NR == 1 { split($1, p, /[:.]/); t = ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4]
                 t = int(t / 100) * 100 - 50; if (t < 0) t += 86400000
                 printf "%02d:%02d:%02d.%03d", t / 3600000, t / 60000 % 60, t / 1000 % 60, t % 1000 }' real.log)
    "$timeline" --start "$start" > timeline.out
    transmission timeline.out > oracle.log
    verdict=$(paste -d' ' real.log oracle.log | awk '
        function ms(t,   p) { split(t, p, /[:.]/); return ((p[1] * 60 + p[2]) * 60 + p[3]) * 1000 + p[4] }
        { n++; e = ms($1) - ms($4); if (NF != 6 || $2 != $5 || $3 != $6 || e >= 100 || e < -10) bad++ }
        END { print (n == 7 && !bad) ? "ok" : "bad" }')
    if [ "$verdict" = ok ]; then
        echo "ok: run $run keyed the timeline's 7 line operations"
    else
        echo "FAILED: run $run"; paste real.log oracle.log; cat stderr
        failures=$((failures + 1))
    fi
done
[ "$failures" -eq 0 ]
