#!/usr/bin/env bash
# pelvano-cli run with files on a share whose reads of one file hang for 20 s (a FUSE file
# system of the test's own): the item on air from the share plays on clean, the hung file's
# row times out, a timed row after it starts on its second, and SIGTERM ends the run within 2 s
# while the read still hangs.
set -euo pipefail
cli=$1
[ -e /dev/fuse ] || { echo "skipped: no /dev/fuse"; exit 77; }
work=$(mktemp -d)
fs_pid=
. "$(dirname "$0")/station_run.bash"
cleanup() {
    kill_run
    fusermount -u -z "$work/mnt" 2>/dev/null || true
    if [ -n "$fs_pid" ]; then kill -KILL "$fs_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/share" "$work/mnt"
noise "$work/share/good.wav" 8 3
ffmpeg -nostdin -v error -f lavfi -i "sine=d=5" -c:a libmp3lame "$work/share/stall.mp3"
/usr/bin/python3 "$(dirname "$0")/stalling_fs.py" "$work/mnt" -f -o "source=$work/share" &
fs_pid=$!
disown "$fs_pid"
for _ in $(seq 1 50); do
    [ -e "$work/mnt/good.wav" ] && break
    sleep 0.1
done
[ -e "$work/mnt/good.wav" ] || { echo "the file system did not come up"; exit 1; }

new_station
# Without loudness measurement: a second open of a file whose read hangs on the share waits in
# the kernel where no signal reaches it, so the run could not end until the share answers.
sed -i 's/^Loudness=YES/Loudness=NO/' "$work/station/参数设置.INI"
noise "$work/station/third.wav" 20 4
add_row "$work/mnt/good.wav"
add_row "$work/mnt/stall.mp3"
due=$(date -d '+12 sec' +%H:%M:%S)
add_row third.wav "$due"
start_run
wait_for_line '定时节目开始:序号3' 20
sleep 2
stop_run

expect_line '打开文件超时\[序号2\],stall.mp3'
expect_line '播放成功无淡入: <good.wav>'
expect_line '播放成功无淡入: <third.wav>'
expect_no_line '定时节目迟到'
expect_no_line '缓冲补充迟到'
[ "$(log_time_of '定时节目开始:序号3' | cut -c1-8)" = "$due" ] || { cat "$work/run.log"; exit 1; }
expect_nothing_heard_twice
echo ok
