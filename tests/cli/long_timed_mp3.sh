#!/usr/bin/env bash
# pelvano-cli run with a 10-hour constant-rate MP3 without a length header as a timed row: its
# length needs a count of the whole file, which must not delay its start nor the item on air.
set -euo pipefail
cli=$1
work=$(mktemp -d)
. "$(dirname "$0")/station_run.bash"
trap 'kill_run; rm -rf "$work"' EXIT

# Ten seconds of MP3 frames (8 kHz mono, 8 kbit/s, no Xing header, no tags) repeated to ten
# hours: a file of 36 MB that FFmpeg can only estimate from its bit rate.
ffmpeg -nostdin -v error -f lavfi -i "anoisesrc=d=10:a=0.3:seed=5" -ar 8000 -ac 1 \
    -c:a libmp3lame -b:a 8k -write_xing 0 -id3v2_version 0 -f mp3 "$work/ten.mp3"
python3 -c '
import sys
piece = open(sys.argv[1], "rb").read()
with open(sys.argv[2], "wb") as out:
    for _ in range(3600):
        out.write(piece)
' "$work/ten.mp3" "$work/long.mp3"

new_station
mv "$work/long.mp3" "$work/station/long.mp3"
noise "$work/station/first.wav" 30 6
add_row first.wav
due=$(date -d '+8 sec' +%H:%M:%S)
add_row long.mp3 "$due"
start_run
wait_for_line '定时节目开始:序号2' 15
sleep 2
stop_run

expect_line '播放成功无淡入: <long.mp3>'
expect_no_line '定时节目迟到'
expect_no_line '缓冲补充迟到'
[ "$(log_time_of '定时节目开始:序号2' | cut -c1-8)" = "$due" ] || { cat "$work/run.log"; exit 1; }
expect_nothing_heard_twice
echo ok
