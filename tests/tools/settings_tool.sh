#!/usr/bin/env bash
# vantrel-settings from the outside: its command line, a refused value of
# every kind leaving the file as it was (bytes and modification time), show
# and import back giving the same file, the files it cannot take, and a
# running Vantrel's lock.
# Usage: settings_tool.sh PATH-TO-VANTREL-SETTINGS
set -uo pipefail
tool=$(realpath "$1")
source "$(dirname "$0")/../whole/settings.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; [ -f err ] && cat err; failures=$((failures + 1)); }
# Runs the tool; its exit status lands in $rc, its output in out and err.
run() { timeout 10 "$tool" "$@" >out 2>err; rc=$?; }
stamp() { stat -c '%y %s' "$1"; }

run --help
[ $rc = 0 ] && grep -q '^Usage: vantrel-settings' out || fail "--help"
for bad in "" "frobnicate" "--bogus show" "--file" "show extra" "set" "set DotLength" "import" "import a b" "reset now"; do
    # shellcheck disable=SC2086
    run $bad
    [ $rc = 2 ] && grep -q '^vantrel-settings: ' err && [ ! -e VANTREL.SET ] || fail "usage '$bad' (exit $rc)"
done

# A missing file: show says so; an invalid set makes nothing; a valid one makes it.
run show
[ $rc = 3 ] && grep -qx "vantrel-settings: no VANTREL.SET in $work" err && [ ! -e VANTREL.SET ] || fail "show without a file"
run set DotLength=1500
[ $rc = 1 ] && [ ! -e VANTREL.SET ] || fail "invalid set without a file"
run set TextNumber=1
[ $rc = 0 ] && grep -q 'created VANTREL.SET from the defaults' err || fail "set makes the file"
mkdir defaults && (cd defaults && write_settings)
cmp -s VANTREL.SET defaults/VANTREL.SET || fail "a file of the defaults"

# One refused value of every kind: exit 1, named with its value, the file untouched.
run set DfcwMode=true RatioCode=1 'Texts[1]=VVV DE N0CALL' PortNumber=LPT1
[ $rc = 0 ] || fail "a valid set"
cp VANTREL.SET before.SET
before=$(stamp VANTREL.SET)
sleep 0.05
while IFS='|' read -r assignment shown; do
    run set OmitKeyGaps=true "$assignment"
    if [ $rc != 1 ] || ! grep -qF "vantrel-settings: $shown" err || ! cmp -s VANTREL.SET before.SET \
        || [ "$(stamp VANTREL.SET)" != "$before" ]; then
        fail "refused '$assignment' (exit $rc)"
    fi
done <<'EOF'
FskNormal=perhaps|FskNormal = perhaps: true or false
RatioCode=3|RatioCode = 3 with DfcwMode = true:
DotLength=2500|DotLength = 2500: milliseconds of whole seconds, 1000..3599000
DotLength=0x3E8|DotLength = 0x3E8: milliseconds of whole seconds
KeyGap=3600000|KeyGap = 3600000: milliseconds of whole seconds, 0..3599000
TextNumber=0|TextNumber = 0: 1..10
Texts[4]=QRSS; 73|Texts[4] = QRSS; 73: ; is an invalid CW character
Texts[5]="VVV|Texts[5] = "VVV: a text in double quotes needs its closing quote
PortNumber=COM0|PortNumber = COM0:
LptWiring=0|LptWiring = 0: 0x56 (standard wiring) or 0x44
RepeatInterval=300|RepeatInterval = 300: 0..255
SyncPeriod=-1|SyncPeriod = -1: 0..6
RxDelay=500|RxDelay = 500: 0, 100, 300 or 1000
StopId.Wpm=20|StopId.Wpm = 20: 6, 9, 12 or 15
DotToneFreq=19.9|DotToneFreq = 19.9: 20..20000
SoundLevel=-0.1|SoundLevel = -0.1: 0..100
AlarmTime=x|AlarmTime = x: 0..999
NoSuchSetting=1|unknown setting NoSuchSetting
EOF

# An import with faults names their lines and changes nothing either.
printf 'DotLength = 3000\n# a comment\nDotLength = 2000\nColour = red\nKeyGap 0\n' >bad.txt
run import bad.txt
if [ $rc != 1 ] || ! grep -q 'line 3: DotLength is given more than once (first on line 1)' err \
    || ! grep -q 'line 4: unknown setting Colour' err || ! grep -q 'line 5: not a setting' err \
    || ! cmp -s VANTREL.SET before.SET || [ "$(stamp VANTREL.SET)" != "$before" ]; then
    fail "import with faults"
fi
run import no-such-file
[ $rc = 3 ] || fail "import of a missing file (exit $rc)"

# Values taken as the dialogs take them (letters upper-cased, tenths
# rounded, one speed for both identifications), shown as stored.
while IFS='|' read -r assignment shown; do
    run set "$assignment"
    [ $rc = 0 ] && "$tool" show | grep -qxF "$shown" || fail "taken '$assignment' (exit $rc)"
done <<'EOF'
Texts[2]=vvv de n0call/b|Texts[2] = "VVV DE N0CALL/B"
Texts[11]="  de n0call  "|Texts[11] = "  DE N0CALL  "
PortNumber=com9|PortNumber = 9  # COM9
PortNumber=gpio|PortNumber = 30  # GPIO
PortNumber=31|PortNumber = 31  # Radio
LptWiring=68|LptWiring = 0x44  # DX4WIN compatible
KeyGap= 2000 |KeyGap = 2000  # ms
SidetoneFreq=800.06|SidetoneFreq = 800.1  # Hz
StartId.Wpm=9|StopId.Wpm = 9
OmitKeyGaps=yes|OmitKeyGaps = true
EOF
printf 'Texts[3] = "CQ"  # a comment\r\n\tTextNumber\t=\t3\n' | run import -
[ $rc = 0 ] && "$tool" show | grep -qx 'TextNumber = 3' || fail "import with comments, tabs and CRLF"
# The alarm chirps on the PC speaker: not while it sounds the sidetone.
run set SidetoneOn=true AlarmTime=30
[ $rc = 1 ] && grep -q 'AlarmTime = 30 with SidetoneOn = true and UseSpeaker = true' err || fail "alarm on the sidetone"
run set SidetoneOn=true AlarmTime=30 UseSpeaker=false
[ $rc = 0 ] || fail "alarm with the soundcard"

# show, then import of what it printed: the same file, for the defaults and
# for a file with every setting changed.
run --file changed.SET set DfcwMode=true RatioCode=0 DotLength=3599000 KeyGap=1000 FskNormal=false \
    OmitKeyGaps=true TextNumber=10 'Texts[1]=A' 'Texts[2]=B' 'Texts[3]=C' 'Texts[4]=D' 'Texts[5]=E' \
    'Texts[6]=F' 'Texts[7]=G' 'Texts[8]=H' 'Texts[9]=I' 'Texts[10]=J ?/.@$+' 'Texts[11]=K' 'Texts[12]=L' \
    PortNumber=LPT2 ComSwap=true LptWiring=0x44 RepeatCount=99 RepeatInterval=255 SyncPeriod=6 QskMode=3 \
    TxDelay=0 RxDelay=1000 StartId.Enabled=true StartId.Wpm=15 StopId.Enabled=true SidetoneOn=true \
    DfcwToneOn=true UseSpeaker=false SidetoneFreq=20000 DotToneFreq=20.1 DashToneFreq=1234.56 \
    SoundLevel=0 AlarmTime=999
[ $rc = 0 ] || fail "every setting changed (exit $rc)"
for file in defaults/VANTREL.SET changed.SET; do
    rm -f copy.SET
    "$tool" --file "$file" show | "$tool" --file copy.SET import - 2>err
    cmp -s "$file" copy.SET || fail "show | import of $file"
done
grep -qx 'DashToneFreq = 1234.6  # Hz' <("$tool" --file changed.SET show) || fail "a frequency rounded to tenths"

# Files it cannot take: read-only (left alone), a pipe (never opened), a
# link (followed), the wrong length (kept as .bad).
cp before.SET copy.SET && chmod 444 before.SET
run --file before.SET set DotLength=2000
[ $rc = 3 ] && grep -q 'read-only' err && cmp -s before.SET copy.SET || fail "read-only file (exit $rc)"
mkfifo pipe.SET
run --file pipe.SET show
[ $rc = 3 ] && grep -q 'pipe.SET is not a file' err || fail "a pipe (exit $rc)"
ln -s changed.SET link.SET
run --file link.SET set DotLength=2000
[ $rc = 0 ] && [ -L link.SET ] && grep -qx 'DotLength = 2000  # ms' <("$tool" --file changed.SET show) || fail "a link"
head -c 100 changed.SET >short.SET
run --file short.SET set TextNumber=3
[ $rc = 0 ] && [ "$(stat -c %s short.SET)" = 3104 ] && [ "$(stat -c %s short.SET.bad)" = 100 ] \
    && grep -q 'kept as' err || fail "a file of the wrong length"

# A running Vantrel holds the folder's lock (a write lock on VANTREL.SET.lock)
# and would save over a change when it ends: set, import and reset refuse
# with its process id and leave the file alone; show only reads.
python3 -c 'import fcntl, os, time
f = open("VANTREL.SET.lock", "a"); fcntl.lockf(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
print(os.getpid(), flush=True); time.sleep(30)' >holder &
for _ in $(seq 100); do [ -s holder ] && break; sleep 0.05; done
holder=$(cat holder)
"$tool" show >shown.txt
before=$(stamp VANTREL.SET) && cp VANTREL.SET held.SET
for command in "set DotLength=2000" "import shown.txt" "reset"; do
    # shellcheck disable=SC2086
    run $command
    [ $rc = 4 ] && grep -q "a Vantrel (process $holder) runs with VANTREL.SET" err && cmp -s VANTREL.SET held.SET \
        && [ "$(stamp VANTREL.SET)" = "$before" ] || fail "'$command' while a Vantrel runs (exit $rc)"
done
run show
[ $rc = 0 ] || fail "show while a Vantrel runs (exit $rc)"
kill "$holder" && wait
run set DotLength=2000
[ $rc = 0 ] || fail "set once the Vantrel ended (exit $rc)"

run reset
[ $rc = 0 ] && cmp -s VANTREL.SET defaults/VANTREL.SET || fail "reset"

# VANTREL.PORTS beside the settings file: values checked as the ports read
# them, a refused one leaving the file as it was, comments and other lines
# kept, "KEY=" removing a key, environment overrides named by show.
mkdir ports
run --file ports/VANTREL.SET ports show
[ $rc = 3 ] || fail "ports show without a file (exit $rc)"
printf '# the beacon\ngpio.key = 5  # the key line\nfoo = 1\n' >ports/VANTREL.PORTS
run --file ports/VANTREL.SET ports set gpio.key=17 ' gpio.chip = 0 ' gpio.ptt=27 gpio.ptt_active_low=yes \
    radio.model=2 radio.device=127.0.0.1:4532 radio.speed=9600 radio.key=COM3 radio.key_line=dtr gpio.dfcw=
[ $rc = 0 ] && [ "$(cat ports/VANTREL.PORTS)" = "$(printf '%s\n' '# the beacon' 'gpio.key = 17  # the key line' \
    'foo = 1' 'gpio.chip = 0' 'gpio.ptt = 27' 'gpio.ptt_active_low = yes' 'radio.model = 2' \
    'radio.device = 127.0.0.1:4532' 'radio.speed = 9600' 'radio.key = COM3' 'radio.key_line = dtr')" ] \
    || fail "ports set (exit $rc)"
VANTREL_GPIO_PTT=4 run --file ports/VANTREL.SET ports show
[ $rc = 0 ] && [ "$(head -3 out)" = "$(printf '%s\n' 'gpio.chip = 0' 'gpio.key = 17' \
    'gpio.ptt = 27  # VANTREL_GPIO_PTT=4 overrides it')" ] && grep -q 'foo is not a key' err || fail "ports show"
run --file ports/VANTREL.SET ports set gpio.key= radio.key=
[ $rc = 0 ] && ! grep -q 'gpio.key\|radio.key ' ports/VANTREL.PORTS && grep -q '^# the beacon$' ports/VANTREL.PORTS \
    || fail "ports set KEY= removes it"
cp ports/VANTREL.PORTS ports.before
while IFS='|' read -r assignment shown; do
    run --file ports/VANTREL.SET ports set gpio.key=3 "$assignment"
    [ $rc = 1 ] && grep -qF "vantrel-settings: $shown" err && cmp -s ports/VANTREL.PORTS ports.before \
        || fail "ports refused '$assignment' (exit $rc)"
done <<'EOF'
gpio.ptt=-1|gpio.ptt = -1: a line number, 0..1023
gpio.dfcw=1024|gpio.dfcw = 1024: a line number
gpio.chip=gpiochip0|gpio.chip = gpiochip0: a device path
gpio.key_active_low=maybe|gpio.key_active_low = maybe: yes or no
radio.model=0|radio.model = 0: Hamlib's model number
radio.speed=fast|radio.speed = fast: a speed in baud
radio.device=localhost|radio.device = localhost: a device path, or host:port
radio.device=host:99999|radio.device = host:99999: a device path, or host:port
radio.key=LPT1|radio.key = LPT1: COM1 to COM9
radio.key_line=cts|radio.key_line = cts: rts or dtr
gpio.key=4|gpio.key = 4: given more than once
gpio.colour=red|gpio.colour = red: not a key of VANTREL.PORTS
EOF

[ "$failures" -eq 0 ] && echo "settings tool: all checks passed"
[ "$failures" -eq 0 ]
