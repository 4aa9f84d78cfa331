#!/usr/bin/env bash
# The real program: Text -> Grabber preview for the text "A" in QRSS at 3 s
# dots. A screenshot of the preview window shows two marks at one row, the
# dash about three times as long as the dot. Usage: preview_window.sh PATH-TO-VANTREL
set -euo pipefail
program=$(realpath "$1")
here=$(dirname "$0")
source "$here/settings.sh"

on_x_server "$@"

export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"

window() {
    for _ in $(seq 200); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

write_settings 12=b8 13=0b 76=01 77=41 # 3000 ms dots, text 1 "A"
VANTREL_PORT=sim "$program" 2>stderr &
pid=$!
main=$(window '^Vantrel ') || { echo "FAILED: no main window"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$main")"
sleep 0.5
xdotool mousemove $((X + 20)) $((Y + 8)) click 1 # the Setup menu
sleep 0.5
xdotool key Right # the Text menu
sleep 0.3
xdotool key Up Return # its last item
preview=$(window '^Grabber preview$') || { echo "FAILED: no preview window"; exit 1; }
sleep 1
import -window "$preview" shot.png

# The columns holding a mark's pale yellow core, as runs "first-last".
width=$(identify -format '%w' shot.png)
runs=$(convert shot.png -depth 8 rgb:- | od -An -v -tu1 -w3 | awk -v w="$width" '
    $1 >= 200 && $2 >= 180 && $3 + 50 <= $1 { col[(NR - 1) % w] = 1; row[int((NR - 1) / w)] = 1 }
    END {
        n = 0; for (r in row) n++
        if (n > 12) { print "rows " n; exit }
        start = -1
        for (x = 0; x <= w; x++) {
            if ((x in col) && start < 0) start = x
            if (!(x in col) && start >= 0) { printf "%d-%d ", start, x - 1; start = -1 }
        }
    }')
echo "marks: $runs"
kill -TERM "$pid"; wait "$pid" || true; pid=

read -r -a mark <<<"$runs"
[ "${#mark[@]}" -eq 2 ] || { echo "FAILED: expected a dot and a dash, found '$runs'"; exit 1; }
dot=$(( ${mark[0]#*-} - ${mark[0]%-*} + 1 )) dash=$(( ${mark[1]#*-} - ${mark[1]%-*} + 1 ))
gap=$(( ${mark[1]%-*} - ${mark[0]#*-} - 1 ))
# 0.75 s a column: the dot 4 columns, the dash 12, the gap between them 4.
[ "$dash" -ge $((2 * dot)) ] && [ "$dash" -le $((4 * dot)) ] && [ "$gap" -ge 2 ] && [ "$gap" -le 6 ] \
    || { echo "FAILED: dot $dot, dash $dash, gap $gap columns"; exit 1; }
echo "ok: the preview shows the dot ($dot columns) and the dash ($dash)"
