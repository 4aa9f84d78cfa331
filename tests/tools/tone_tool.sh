#!/usr/bin/env bash
# vantrel-tone from the outside: options, errors, a written image that sox
# reads, and playing on SDL's disk driver. Usage: tone_tool.sh PATH-TO-VANTREL-TONE
set -uo pipefail
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

"$tool" --help | grep -q '^Usage: vantrel-tone' || fail "--help"
for bad in "" "--play --output x.wav" "--bogus" "--duration 5 --output x.wav" "--waveform saw --output x.wav" \
           "--note H --output x.wav" "--envelope 1,2,3 --output x.wav" "--frequency abc --output x.wav" \
           "--resolution 12 --output x.wav" "--frequency 440 --note A --output x.wav"; do
    # shellcheck disable=SC2086
    "$tool" $bad >out 2>err
    rc=$?
    [ "$rc" -eq 2 ] && grep -q '^vantrel-tone: ' err && [ ! -e x.wav ] || fail "bad options '$bad' (exit $rc)"
done

"$tool" --note '>A' --duration 250 --stereo --output a.wav >out || fail "output"
grep -q '880.0 Hz' out || fail "note >A is not 880 Hz"
[ "$(stat -c %s a.wav)" = $((250 * 96 * 2 * 2 + 76)) ] || fail "image size"
if command -v sox >/dev/null; then
    [ "$(soxi -c a.wav)" = 2 ] && [ "$(soxi -r a.wav)" = 96000 ] && [ "$(soxi -s a.wav)" = 24000 ] || fail "sox reads it differently"
fi
"$tool" --waveform noise --resolution 8 --quality lo --envelope 10,5,20,50,30 --output n.wav >/dev/null || fail "noise"
[ "$(stat -c %s n.wav)" = $((100 * 441 / 10 + 76)) ] || fail "8-bit size"

# Standard output for -, --name=value and -o forms, every failure with its reason.
"$tool" --duration=250 --output - >stdout.wav 2>err || fail "--output -"
[ "$(head -c 4 stdout.wav)" = RIFF ] && [ "$(stat -c %s stdout.wav)" = $((250 * 96 * 2 + 76)) ] && [ ! -e ./- ] \
    || fail "--output - did not write the image to standard output"
"$tool" -o /nonexistent/x.wav >out 2>err; rc=$?
[ $rc = 1 ] && grep -qx 'vantrel-tone: cannot write /nonexistent/x.wav: No such file or directory' err \
    || fail "an unwritable output without its reason (exit $rc)"
SDL_AUDIODRIVER=none-such "$tool" --play >out 2>err; rc=$?
[ $rc = 1 ] && grep -q '^vantrel-tone: no sound: ' err || fail "--play without a sound device (exit $rc)"
"$tool" -V | grep -q '^build 4\.14' || fail "-V"

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/disk.raw" "$tool" --frequency 800 --duration 100 --play 2>/dev/null \
    || fail "play"
[ "$(stat -c %s disk.raw 2>/dev/null || echo 0)" -ge $((96000 * 4 / 10)) ] || fail "nothing reached the disk device"

[ "$failures" -eq 0 ] && echo "tone tool: all checks passed"
[ "$failures" -eq 0 ]
