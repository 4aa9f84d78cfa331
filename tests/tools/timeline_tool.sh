#!/usr/bin/env bash
# vantrel-timeline from the outside: its options, its errors, and one run.
# Usage: timeline_tool.sh PATH-TO-VANTREL-TIMELINE
set -uo pipefail
tool=$(realpath "$1")
source "$(dirname "$0")/../whole/settings.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

"$tool" --help | grep -q '^Usage: vantrel-timeline' || fail "--help"
for bad in "--bogus" "--start" "--start 25:00:00" "--start 10:00" "--start 10:00:00.1234" "--limit 0" "--limit x" \
           "--picture" "--frame 10" "--picture p.png --frame 0" "--picture p.png --frame 61" \
           "--picture p.png --width 59" "--picture p.png --width x" "--picture p.png --shift 1e9" \
           "--at 2500" "--at 250000" "--stop 100000" "--at 100000 --stop 1000" "--step 10:00:00:3600" \
           "--step 10:00:00:+" "--step 10:00:00.000:+0" "--step 10:00:00:-1e3" "--step x"; do
    # shellcheck disable=SC2086
    "$tool" $bad >out 2>err
    rc=$?
    [ "$rc" -eq 2 ] && grep -q "vantrel-timeline: " err && [ ! -s out ] || fail "bad option '$bad' (exit $rc)"
done

# Without a settings file: said, and the defaults' empty text is refused as
# the program refuses it, with no time line.
"$tool" >out 2>err; rc=$?
[ $rc = 1 ] && [ ! -s out ] && grep -qx "vantrel-timeline: no VANTREL.SET in $work: the defaults are used" err \
    && grep -qx 'vantrel-timeline: Text 1 is empty : nothing to transmit' err || fail "run without VANTREL.SET (exit $rc)"
# A text of spaces, and a repeated text longer than its interval (EEEEE at 10 s dots, 1 minute).
write_settings 76=03 77=20 78=20 79=20
"$tool" >out 2>err; rc=$?
[ $rc = 1 ] && [ ! -s out ] && grep -q 'Text 1 is empty' err || fail "all-space text (exit $rc)"
write_settings 12=10 13=27 20=02 24=01 76=05 77=45 78=45 79=45 80=45 81=45
"$tool" >out 2>err; rc=$?
[ $rc = 1 ] && [ ! -s out ] \
    && grep -qx 'vantrel-timeline: Repeat function : Text duration (including start and stop id.) exceeds repeat time' err \
    || fail "repeat time exceeded (exit $rc)"

# Text "E" at 3 s dots from 23:59:58.000: PTT on the first tick, the dot keyed
# on the fourteenth after it and held for three seconds, across midnight.
write_settings 12=b8 13=0b 76=01 77=45
"$tool" --start=23:59:58.000 >out || fail "run"
expected="23:59:58.000 state PlanSync
23:59:58.100 ptt on
23:59:58.100 state Arm
23:59:58.200 state Starting
23:59:59.300 state BeginSequence
23:59:59.400 state Sending
23:59:59.500 key on
+1 00:00:02.500 key off
+1 00:00:02.600 state EndSequence
+1 00:00:02.700 state Stopping
+1 00:00:02.800 ptt off
total 0:00:04.800"
[ "$(cat out)" = "$expected" ] || { fail "timeline"; diff <(echo "$expected") out; }

# The picture of that run: a PNG of one 10-minute frame at 800 pixels and the
# scale's margin, the same bytes every time; a folder that is not there fails.
TZ=UTC "$tool" --start 10:00:00 --picture a.png >/dev/null || fail "picture"
TZ=UTC "$tool" --start 10:00:00 --picture b.png --frame 10 --width 800 --shift 5 >/dev/null || fail "picture with options"
TZ=UTC "$tool" --start 10:00:00 --picture c.png --width 800 --shift 5 >/dev/null || fail "picture again"
[ "$(head -c 8 a.png | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "not a PNG"
size=$(identify -format '%w %h' a.png 2>/dev/null) || fail "picture unreadable"
[ "${size% *}" -gt 800 ] && [ "${size% *}" -lt 900 ] || fail "picture size $size"
cmp -s b.png c.png || fail "the same run gave other bytes"
cmp -s a.png b.png && fail "--shift changed nothing"
"$tool" --picture /nonexistent/p.png >out 2>err
[ $? -eq 1 ] && grep -q "cannot write the picture" err || fail "unwritable picture"

# Daylight saving forward on an hourly synchronisation boundary: the slot is
# kept, PTT stays on, and the step has a line of its own.
write_settings 76=01 77=45 3091=06
"$tool" --start 01:59:00.000 --step 02:00:00.000:+3600 >out || fail "step run"
expected="01:59:58.000 ptt on
02:00:00.000 clock step +3600 s
03:00:00.000 state Sending
03:00:00.100 key on
03:00:01.100 key off
03:00:01.400 ptt off
total 0:01:01.400"
[ "$(grep -v 'state [^S]\|Starting\|Stopping' out)" = "$expected" ] || { fail "step"; cat out; }

# A later start of "TTT" (four repeats a minute apart) that the step jumps
# over starts at once, repeats a minute later, and the stop time ends it.
write_settings 20=04 24=01 76=03 77=54 78=54 79=54
"$tool" --start 01:59:00 --at 023000 --stop 030130 --step 02:00:00:+3600 >out || fail "later run"
[ "$(grep -c 'state Sending' out)" -eq 2 ] || fail "later: two messages"
grep -q '^03:00:00.000 state PlanSync$' out && grep -q '^03:01:00.000 state BeginSequence$' out \
    && grep -q '^03:01:30.000 state Stopping$' out && grep -q '^total 0:02:30.000$' out || { fail "later"; cat out; }

# An endless beacon stops at the limit and says so; over two days the times
# carry their day and never run backwards.
write_settings 20=00 24=00 76=01 77=45
"$tool" --limit 0.01 >out || fail "endless run"
tail -1 out | grep -q 'limit reached' || fail "limit not reported"
write_settings 12=10 13=27 20=00 24=3c 76=01 77=45 # E at 10 s dots, every hour
"$tool" --start 12:00:00.000 --limit 50 >out || fail "run over two days"
awk '$1 ~ /^\+/ { d = substr($1, 2); t = $2 } $1 !~ /^\+/ && $1 != "total" { d = 0; t = $1 }
     $1 != "total" { k = sprintf("%d %s", d, t); if (k < last) bad = 1; last = k; days[d] = 1 }
     END { exit (bad || !(1 in days) || !(2 in days)) }' out || fail "days of a long run"
grep -q '^+2 1[01]:00:0' out || fail "a start on the third day"

[ "$failures" -eq 0 ] && echo "timeline tool: all checks passed"
[ "$failures" -eq 0 ]
