#!/usr/bin/env bash
# CPU and peak memory of a headless beacon: QRSS with 1 s dots keying an
# endless text on the simulated port for SECONDS (60), no display. Prints the
# share of one core it used per minute of transmission and its peak resident
# memory. Usage: bench/headless_cpu.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
program=$PWD/build/vantrel
settings=$PWD/build/vantrel-settings
[ -x "$program" ] && [ -x "$settings" ] || { echo "build first: scripts/test or scripts/run" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$settings" set PortNumber=COM1 'Texts[1]=VVV DE N0CALL/B' TextNumber=1 DotLength=1000 \
    RepeatCount=0 RepeatInterval=0 SyncPeriod=0 >/dev/null 2>&1
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM VANTREL_PORT=sim "$program" autostart 2>stderr &
pid=$!
sleep 2 # past the start-up, which bench/startup.sh measures
read -r -a before < <(cut -d' ' -f14,15 /proc/$pid/stat)
sleep "$seconds"
read -r -a after < <(cut -d' ' -f14,15 /proc/$pid/stat)
peak=$(sed -n 's/^VmHWM:\s*//p' /proc/$pid/status)
kill -TERM $pid; wait $pid || true
ticks=$(( after[0] + after[1] - before[0] - before[1] ))
hz=$(getconf CLK_TCK)
awk -v t=$ticks -v hz=$hz -v s=$seconds -v peak="$peak" 'BEGIN {
    printf "headless beacon, 1 s dots: %.3f %% of a core (%.2f s CPU per minute of transmission), peak memory %s; target <= 0.1 %%\n",
           100 * t / hz / s, t / hz * 60 / s, peak }'
