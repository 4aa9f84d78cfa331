#!/usr/bin/env bash
# The real program on simulated hardware and every signal whose default action
# ends a process, sent during a key-down: the core-dumping ones end it as they
# would, after key and PTT off; the others end it as Exit does (status 0, port
# released); SIGPIPE and SIGXFSZ are ignored. A signal while the port warning
# waits ends it without opening the port. Usage: signals.sh PATH-TO-VANTREL
set -uo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"
on_x_server "$@"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ulimit -c 0
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

# signal(7) by default action. Every signal here is in one list (32 and 33 are
# the C library's own), so that a new one must be thought about.
crash="QUIT ILL TRAP ABRT BUS FPE SEGV XCPU SYS"
release="HUP INT USR1 USR2 ALRM TERM STKFLT IO PROF VTALRM PWR $(seq -s ' ' "$(kill -l RTMIN)" "$(kill -l RTMAX)")"
ignored="PIPE XFSZ"
for n in $(seq 1 "$(kill -l RTMAX)"); do
    name=$(kill -l "$n")
    [[ -z $name || " $crash $ignored KILL STOP CHLD CONT TSTP TTIN TTOU URG WINCH " == *" $name "* \
        || " $release " == *" $n "* || " $release " == *" $name "* ]] || fail "signal $n ($name) is in no list"
done

# SIGNAL WAY PORT-BYTE: keys T (a 3 s dash) in a folder of its own and sends
# the signal at the key-down; WAY warning: without autostart, at the port
# warning. Writes "ok" or what went wrong to ./result.
run_one() {
    local dir="$work/$1.$2" status=0 args=(autostart) ready=(grep -q 'key on' lines.log)
    mkdir -p "$dir" && cd "$dir" && write_settings 8="$3" 76=01 77=54
    [ "$2" = warning ] && args=()
    VANTREL_PORT=sim VANTREL_LINE_LOG="$dir/lines.log" "$program" "${args[@]}" 2>stderr &
    local pid=$!
    [ "$2" = warning ] && ready=(xdotool search --all --onlyvisible --pid "$pid" --name WARNING)
    local up=""
    for _ in $(seq 300); do "${ready[@]}" >/dev/null 2>&1 && up=1 && break; sleep 0.1; done
    [ -n "$up" ] || { kill -KILL "$pid"; echo "not ready" >result; return; }
    kill -"$1" "$pid"
    [ "$2" = ignored ] && sleep 0.5 && kill -TERM "$pid"
    { wait "$pid"; } 2>/dev/null || status=$?
    local entries=$(cut -d' ' -f2,3 lines.log 2>/dev/null | tr '\n' '|')
    case $2 in
    crash) [[ $status -eq $((128 + $(kill -l "$1"))) && $entries == *"|key on|key off|ptt off|" ]] ;;
    warning) [[ $status -eq 0 && $entries != *open* ]] ;;
    *) [[ $status -eq 0 && $entries =~ \|key\ on\|key\ off\|ptt\ off\|key\ off\|ptt\ off\|close\ (COM3|LPT1)\|$ ]] ;;
    esac && echo ok >result || echo "exit $status, line log: $entries" >result
}

# Eight at a time: most of a run is the wait for its key-down.
runs=()
flush() {
    wait
    for r in "${runs[@]}"; do
        [ "$(cat "$work/$r/result" 2>/dev/null)" = ok ] && echo "ok: SIG$r" \
            || fail "SIG$r: $(cat "$work/$r/result" "$work/$r/stderr" 2>/dev/null)"
    done
    runs=()
}
i=0
for way in crash release ignored; do
    for signal in ${!way}; do
        port=03; [ $((i++ % 4)) = 0 ] && port=14   # LPT1 now and then
        run_one "$signal" "$way" "$port" & runs+=("$signal.$way")
        [ ${#runs[@]} -ge 8 ] && flush
    done
done
# The red warning before LPT1 opens: no "open LPT1 [data FF ...]".
for signal in TERM USR1; do run_one "$signal" warning 14 & runs+=("$signal.warning"); done
flush
[ "$failures" -eq 0 ]
