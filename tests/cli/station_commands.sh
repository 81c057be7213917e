#!/usr/bin/env bash
# pelvano-cli simulate and run on a copy of the demo station.
set -euo pipefail
cli=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$demo" "$work/station"

# A demo station from nothing: the build's program takes the sounds the build generated, and the
# schedule it writes plays every row.
"$cli" demo init "$work/fresh" >/dev/null
[ "$(ls "$work/fresh/音乐" | wc -l)" -eq "$(ls "$demo/音乐" | wc -l)" ]
[ "$(ls "$work/fresh/报时文件" | wc -l)" -eq 48 ]
"$cli" schedule estimate "$work/fresh/节目表.JMB" | grep -q 开始曲
"$cli" --version | grep -qx "pelvano-cli [0-9][0-9.]*"

"$cli" simulate "$work/station" --from "2026-12-07 05:59:58" --to "2026-12-07 06:01:00" --wav "$work/heard.wav" >/dev/null
his="$work/station/History/2026-12-07.his"
iconv -f GB18030 -t UTF-8 "$his" | tr -d "\r" | grep -q '^06:00:00: 定时节目开始:序号1$'
iconv -f GB18030 -t UTF-8 "$his" | tr -d "\r" | grep -q '^06:00:00: 播放成功并淡入: \[2000\]毫秒,<开始曲.mp3>$'
# 62 s of 16-bit stereo at 44100 Hz, and not silent.
[ "$(stat -c %s "$work/heard.wav")" -gt 10000000 ]
ffmpeg -nostdin -i "$work/heard.wav" -af volumedetect -f null - 2>&1 | grep -q 'max_volume: -[0-9]'

# The stream as listeners would get it, written to a file: it decodes to the simulated length.
"$cli" simulate "$work/station" --from "2026-12-07 05:59:58" --to "2026-12-07 06:00:30" \
    --stream "$work/stream.mp3" | grep -q "^stream: $work/stream.mp3$"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$work/stream.mp3")
awk -v d="$duration" 'BEGIN { exit !(d > 31 && d < 33) }' || { echo "stream of $duration s"; exit 1; }

. "$(dirname "$0")/expect_fail.bash"
expect_fail 2 simulate "$work/station" --from "2026-12-07 25:00:00" --to "2026-12-07 06:01:00"
expect_fail 2 simulate "$work/station" --from "2026-12-07 06:00:00"
expect_fail 2 simulate "$work/station" --from "2026-12-07 06:00:00" --to "2026-12-07 05:00:00"
expect_fail 1 run "$work/none"

# In real time on the null output, until interrupted; the close writes its keys (the clean-close
# mark is written by a close alone: the simulation above wrote one, so it is removed first).
ini="$work/station/参数设置.INI"
close_key_written() {
    local status=$1
    [ "$status" = 0 ] || { echo "run ended with status $status"; exit 1; }
    grep -q '^CleanClose=YES' "$ini" || { echo "no close keys after run"; exit 1; }
    sed -i '/^CleanClose=/d' "$ini"
}
sed -i '/^CleanClose=/d' "$ini"
set +e
PELVANO_OUTPUT=null timeout --preserve-status -s INT 3 "$cli" run "$work/station" >"$work/run.log" 2>/dev/null
close_key_written $?
# A closed terminal closes the station like SIGTERM.
PELVANO_OUTPUT=null timeout --preserve-status -s HUP 3 "$cli" run "$work/station" >/dev/null 2>&1
close_key_written $?
# A reader that goes away ends the printing, not the station.
PELVANO_OUTPUT=null timeout --preserve-status -s TERM 3 "$cli" run "$work/station" 2>/dev/null | head -n 1 >/dev/null
close_key_written "${PIPESTATUS[0]}"
# [Stream] on, no server there: the station plays, the log says so, the password stays out.
printf '[Stream]\r\nEnabled=YES\r\nPort=1\r\nPassword=pw-s3cret\r\n' >>"$ini"
PELVANO_OUTPUT=null timeout --preserve-status -s INT 3 "$cli" run "$work/station" >"$work/run.log" 2>&1
close_key_written $?
set -e
grep -q '网络直播无法连接：127.0.0.1:1/pelvano.mp3' "$work/run.log" || { cat "$work/run.log"; exit 1; }
! grep -q 'pw-s3cret' "$work/run.log" "$work/station/History/"*.his

# Without its music the demo station fills the air from its fallback folder.
cp -r "$demo" "$work/bare"
rm -r "$work/bare/音乐"
"$cli" simulate "$work/bare" --from "2026-12-07 05:59:58" --to "2026-12-07 06:00:20" --wav "$work/bare.wav" >/dev/null
iconv -f GB18030 -t UTF-8 "$work/bare/History/2026-12-07.his" | tr -d "\r" | grep -q ': 播放备用节目：备用[一二三].mp3$'
ffmpeg -nostdin -ss 10 -i "$work/bare.wav" -af volumedetect -f null - 2>&1 | grep -q 'max_volume: -[0-9]'
echo ok
