#!/usr/bin/env bash
# The beacon unit's system-call filter refuses nothing that Vantrel calls: a
# headless auto start and a --release-port run under strace, every call made
# compared with the set that the unit's SystemCallFilter= lines allow.
# Usage: syscall_filter.sh PATH-TO-VANTREL PATH-TO-UNIT-TEMPLATE
set -uo pipefail
program=$(realpath "$1")
unit=$(realpath "$2")
source "$(dirname "$0")/settings.sh"
for tool in strace systemd-analyze; do
    if ! command -v $tool >/dev/null; then
        echo "skipped: $tool is missing (scripts/test installs it)"
        exit 0
    fi
done
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM VANTREL_LINE_LOG VANTREL_TX_LOG
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# The calls a filter entry allows, groups expanded.
expand() {
    systemd-analyze syscall-filter "$1" | tail -n +2 | sed 's/^ *//; /^#/d; /^$/d' | while read -r entry; do
        case $entry in @*) expand "$entry" ;; *) echo "$entry" ;; esac
    done
}
for entry in $(sed -n 's/^SystemCallFilter=//p' "$unit"); do
    case $entry in @*) expand "$entry" ;; *) echo "$entry" ;; esac
done | sort -u > allowed
[ -s allowed ] || { echo "FAILED: no SystemCallFilter in $unit"; exit 1; }

write_settings 8=14 76=01 77=45
VANTREL_PORT=sim VANTREL_TX_LOG=$work/tx.log timeout 60 strace -f -qq -o trace "$program" autostart 2>stderr
status=$?
VANTREL_PORT=sim timeout 60 strace -f -qq -o trace2 "$program" --release-port 2>>stderr || status=$?
[ $status = 0 ] || { echo "FAILED: the traced runs ended with status $status"; cat stderr; exit 1; }
# "PID name(" and resumed calls "PID <... name resumed>".
cat trace trace2 | sed -n 's/^[0-9]* \(<\.\.\. \)\?\([a-z0-9_]*\)[( ].*/\2/p' | sort -u > called
refused=$(comm -23 called allowed)
if [ -n "$refused" ]; then
    echo "FAILED: the unit's filter refuses what Vantrel calls: $(echo $refused)"
    exit 1
fi
echo "ok: all $(wc -l < called) system calls Vantrel made are allowed by the unit's filter"
