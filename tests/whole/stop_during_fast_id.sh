#!/usr/bin/env bash
# The real program, driven with the mouse on simulated hardware: a stop
# pressed while a 12 WPM identification is keyed wins, and nothing keys
# afterwards. 1) Transmitter test, Push key, the stop text follows at once
# (interval 0), Cancel while it is keyed. 2) QSO mode with 1-minute
# synchronisation, TX, RX while the start text is keyed: the message never
# comes. Usage: stop_during_fast_id.sh PATH-TO-VANTREL [SCREENSHOT-DIR]
set -euo pipefail
program=$(realpath "$1")
shots=${2:-}
here=$(dirname "$0")
source "$here/settings.sh"

# The windows on an X server of their own.
on_x_server "$@"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
failures=0

text_bytes() { # OFFSET TEXT: a short string at OFFSET
    local at=$1 t=$2 out=("$1=$(printf '%02x' "${#2}")")
    for ((i = 0; i < ${#t}; i++)); do out+=("$((at + 1 + i))=$(printf '%02x' "'${t:i:1}")"); done
    echo "${out[@]}"
}
window() { # a visible window whose title starts with $1, waiting for it while Vantrel runs
    for _ in $(seq 100); do
        local w
        w=$(xdotool search --onlyvisible --name "^$1" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && { echo "$w"; return; }
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "no window '$1'" >&2; return 1
}
click() { # WINDOW X Y: a click at a point of the window
    local x y
    eval "$(xdotool getwindowgeometry --shell "$1")"
    x=$((X + $2)); y=$((Y + $3))
    xdotool mousemove --sync "$x" "$y" click 1
}
wait_log() { # PATTERN COUNT SECONDS: until the log holds COUNT lines matching PATTERN
    for _ in $(seq $(($3 * 20))); do
        [ "$(grep -c "$1" lines.log 2>/dev/null || true)" -ge "$2" ] && return 0
        sleep 0.05
    done
    return 1
}
# Starts Vantrel without autostart and accepts the port's opening (the warning, then OK).
# A loaded machine's X server now and then refuses a connection: Vantrel
# then ends at once, and is started again.
start() {
    local warning attempt
    for attempt in 1 2 3; do
        rm -f lines.log
        VANTREL_PORT=sim VANTREL_LINE_LOG="$work/lines.log" "$program" 2>stderr &
        pid=$!
        warning=$(window "---  WARNING") && break
        kill "$pid" 2>/dev/null || true
        wait "$pid" || true
        echo "note: Vantrel showed no window (attempt $attempt): $(head -1 stderr)"
        [ "$attempt" -lt 3 ] || return 1
    done
    xdotool windowfocus --sync "$warning" key Return
    wait_log 'open COM1' 1 10
    xdotool windowfocus --sync "$(window 'Initializing')" key Return
    main=$(window 'Vantrel ')
    sleep 0.5
}
menu_start() { # ITEM-ROW: Start menu, then its 1st..4th item
    click "$main" 112 8
    sleep 0.5
    click "$main" 134 $((8 + 22 * $1))
}
# Nothing switched on after line number $1 of the log (a simulated port
# adds its outputs after the level).
nothing_on_after() { tail -n +"$(($1 + 1))" lines.log | grep -E ' (key|ptt) on( |$)' || true; }
report() { # NAME STOP-LINE EXTRA-CONDITION
    local on
    on=$(nothing_on_after "$2")
    if [ -z "$on" ] && [ "$3" = ok ]; then
        echo "ok: $1"
    else
        echo "FAILED: $1 (switched on after the stop: ${on:-none}; $3); line log:"; cat lines.log; cat stderr
        failures=$((failures + 1))
    fi
}

# 1) Transmitter test: stop text "TEST" at 12 WPM, back to back (interval 0).
write_settings 8=01 20=00 24=00 3089=01 3090=0c $(text_bytes 2837 TEST) $(text_bytes 76 E)
start
menu_start 3
test=$(window 'Transmitter test')
click "$test" 440 54 # Push key
wait_log 'key off' 3 10                  # the key dropped for the identification
wait_log 'key on' 3 10                   # its second mark (E of TEST) is keyed
xdotool windowfocus --sync "$test" key Escape # Cancel
wait_log 'ptt off' 3 5 || true
stop=$(wc -l < lines.log)
sleep 3
gone=ok
xdotool search --onlyvisible --name '^Transmitter test' >/dev/null 2>&1 && gone="the window stayed"
[ -n "$shots" ] && import -window root "$shots/test_after_cancel.png"
report "Cancel during the test's 12 WPM identification" "$stop" "$gone"
kill -TERM "$pid"; wait "$pid" || true; pid=

# 2) QSO: 1-minute synchronisation, start text "QRSS" at 12 WPM.
write_settings 8=01 3088=01 3090=0c 3091=01 $(text_bytes 2586 QRSS) $(text_bytes 76 E)
start
menu_start 4
qso=$(window 'Vantrel \(V4\.14\) : QSO')
click "$qso" 293 135 # TX (below the menu bar)
wait_log 'ptt on' 1 70                   # the synchronisation lead
wait_log 'key on' 2 15                   # the identification's second mark
xdotool mousemove --sync 0 0
click "$qso" 293 135 # RX
stop=$(wc -l < lines.log)
[ -n "$shots" ] && import -window root "$shots/qso_after_rx.png"
sleep 15 # past the boundary at which the message was due (within the lead)
back=ok
xdotool search --onlyvisible --name '^Vantrel \(V4\.14\) : QSO mode \(QRSS : 1 s dot\)$' >/dev/null 2>&1 \
    || back="the title did not return to the QSO form"
grep -q 'ptt off' <(tail -n +"$((stop + 1))" lines.log) || back="$back; PTT not released"
[ -n "$shots" ] && import -window root "$shots/qso_after_boundary.png"
report "RX during the QSO start identification with synchronisation" "$stop" "$back"
kill -TERM "$pid"; wait "$pid" || true; pid=

[ "$failures" -eq 0 ]
