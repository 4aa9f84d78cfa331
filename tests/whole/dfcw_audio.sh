#!/usr/bin/env bash
# DFCW as audio FSK, end to end: the real program on simulated hardware with
# SDL's disk audio driver. DFCW mode, a 1 s dot and a 1 s key gap come from
# VANTREL.SET; the DFCW tones (1000.0 and 1004.0 Hz) and the sound card as
# the source are set in the sound dialog with the keyboard; then Start Now
# sends "AN". The audio the "device" received must follow the line log.
# The program runs on the X server (not offscreen) so that xdotool can reach it.
# Usage: dfcw_audio.sh PATH-TO-VANTREL PATH-TO-DFCW_AUDIO_CHECK
# With KEEP=DIR the audio and the line log (or a screenshot) are kept there.
set -euo pipefail
program=$(realpath "$1")
check=$(realpath "$2")
here=$(dirname "$0")
source "$here/settings.sh"

on_x_server "$@"

work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -TERM "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"

# Waits up to 10 s for a visible window whose title matches $1 and prints its id.
window() {
    for _ in $(seq 100); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "no window \"$1\"" >&2
    return 1
}
press() { xdotool windowfocus --sync "$1"; shift; xdotool key --delay 50 "$@"; }
# Opens the main window's menu bar at its first menu, Setup.
menu() { xdotool mousemove --window "$main" 20 8 click 1; sleep 0.3; }

# DFCW (0), single space (37), LPT1 (8), key gap 1000 ms (72), text 1 "AN".
write_settings 0=01 37=01 8=14 72=e8 73=03 76=02 77=41 78=4e
QT_QPA_PLATFORM=xcb LC_ALL=C SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" VANTREL_PORT=sim \
    VANTREL_LINE_LOG="$work/lines.log" "$program" 2>stderr &
pid=$!

# Opening the port: the warning, then the result.
press "$(window 'WARNING')" Return
press "$(window '^Initializing parallel port$')" Return
main=$(window '^Vantrel  ')
sleep 0.3

# Setup > Sound: DFCW tones enabled, dot and dash frequencies, the sound card.
menu
xdotool key Down Down Down Down Down Down Down Down Return
sound=$(window '^Sound$')
press "$sound" Tab Tab Left Tab
xdotool type --delay 30 '1000.0'
xdotool key Tab
xdotool type --delay 30 '1004.0'
xdotool key --delay 50 Tab Tab Right Return
sleep 0.5
if xdotool search --onlyvisible --name '^Sound$' >/dev/null 2>&1; then
    echo "FAILED: the sound dialog did not close"; exit 1
fi

# Start > Now, and wait for the transmit window to close at the end.
menu
xdotool key --delay 50 Right Right Return # the first item, Now, is highlighted
window ' : DFCW' >/dev/null || { [ -n "${KEEP:-}" ] && import -window root "$KEEP/screen.png"; exit 1; }
for _ in $(seq 400); do
    xdotool search --onlyvisible --name ' : DFCW' >/dev/null 2>&1 || break
    sleep 0.1
done
sleep 0.5
kill -TERM "$pid"
wait "$pid" || true
pid=

# The dialog stored what was typed: the tones on, the sound card, 1000.0 and 1004.0 Hz.
stored=$(od -An -tx1 -j0 -N4 VANTREL.SET | tr -d ' \n')/$(od -An -tfD -j48 -N16 VANTREL.SET | xargs)
if [ "$stored" != "01010000/1000 1004" ]; then
    echo "FAILED: stored sound settings: $stored"; cat lines.log; cat stderr; exit 1
fi
[ -n "${KEEP:-}" ] && cp audio.raw lines.log "$KEEP/"
"$check" audio.raw lines.log 1000.0 1004.0 1 '.--.' || { cat lines.log; cat stderr; exit 1; }
echo "ok: DFCW audio FSK"
