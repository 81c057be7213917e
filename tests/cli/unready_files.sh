#!/usr/bin/env bash
# pelvano-cli run with a row whose file never opens (a FIFO nobody writes) between two good
# rows: the open times out, the next row plays, nothing heard is heard twice, SIGTERM ends it.
set -euo pipefail
cli=$1
work=$(mktemp -d)
. "$(dirname "$0")/station_run.bash"
trap 'kill_run; rm -rf "$work"' EXIT

new_station
noise "$work/station/first.wav" 6 1
noise "$work/station/third.wav" 30 2
mkfifo "$work/station/fifo.mp3"
add_row first.wav
add_row fifo.mp3
add_row third.wav
start_run
wait_for_line '播放成功无淡入: <third.wav>' 15
sleep 3
stop_run

expect_line '打开文件超时\[序号2\],fifo.mp3'
[ "$(grep -c '打开文件超时' "$work/run.log")" = 1 ] || { echo "time-out logged twice"; exit 1; }
expect_nothing_heard_twice
echo ok
