#!/usr/bin/env bash
# pelvano-cli devices, play and render: the device list, exit codes, what ends up in the WAV.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:duration=2" \
    -ac 2 -c:a libmp3lame "$work/tone.mp3"

PELVANO_OUTPUT=null "$cli" devices >"$work/devices"
[ "$(sed -n 1p "$work/devices")" = "(00)主声音驱动程序" ]
[ "$(wc -l <"$work/devices")" = 2 ]

"$cli" render "$work/tone.mp3" --wav "$work/out.wav"
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/out.wav")
awk -v s="$seconds" 'BEGIN { exit !(s >= 2.0 && s < 2.1) }'

"$cli" render "$work/tone.mp3" --wav "$work/part.wav" --start 500 --end 1500 --fade-in 1
seconds=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/part.wav")
awk -v s="$seconds" 'BEGIN { exit !(s >= 1.0 && s < 1.1) }'

"$cli" play "$work/tone.mp3" --wav "$work/played.wav" --start 1700
[ -s "$work/played.wav" ]

. "$(dirname "$0")/expect_fail.bash"
expect_fail 2 render "$work/tone.mp3"
expect_fail 2 play
expect_fail 2 play "$work/tone.mp3" --device x
: >"$work/empty.mp3"
expect_fail 1 render "$work/empty.mp3" --wav "$work/e.wav"
grep -q '^pelvano-cli: ' "$work/err"
PELVANO_OUTPUT=speakers expect_fail 1 devices
