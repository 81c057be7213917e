#!/usr/bin/env bash
# pelvano-cli run with a row whose file never opens (a FIFO nobody writes) between two good
# rows: the open times out, the next row plays, nothing heard is heard twice, SIGTERM ends it.
set -euo pipefail
cli=$1
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT

"$cli" demo init "$work/station" >/dev/null
noise() {
    ffmpeg -nostdin -v error -f lavfi -i "anoisesrc=d=$2:c=white:a=0.3:seed=$3" -ac 2 -ar 44100 \
        -c:a pcm_s16le "$work/station/$1"
}
noise first.wav 6 1
noise third.wav 30 2
mkfifo "$work/station/fifo.mp3"
printf '序号\t歌曲\t歌手\t时长\t交叉|\t淡入|\t淡出|\t开播时间\t文件名\t估计播出时间\n' >"$work/s.tsv"
for row in "1	一	first.wav" "2	二	fifo.mp3" "3	三	third.wav"; do
    IFS='	' read -r n title file <<<"$row"
    printf '%4d\t%s\t\t\t1\t0\t0\t\t%s\t\n' "$n" "$title" "$file" >>"$work/s.tsv"
done
"$cli" schedule build "$work/s.tsv" "$work/station/节目表.JMB"

PELVANO_OUTPUT="wav:$work/heard.wav" "$cli" run "$work/station" >"$work/run.log" 2>&1 &
pid=$!
for _ in $(seq 1 150); do
    grep -q '播放成功无淡入: <third.wav>' "$work/run.log" && break
    sleep 0.1
done
sleep 3
kill -TERM "$pid"
for _ in $(seq 1 20); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "still running 2 s after SIGTERM"
    cat "$work/run.log"
    exit 1
fi
wait "$pid" || { echo "run ended with status $?"; exit 1; }
pid=

expect_line() {
    grep -q "$1" "$work/run.log" || { echo "missing: $1"; cat "$work/run.log"; exit 1; }
}
expect_line '打开文件超时\[序号2\],fifo.mp3'
expect_line '播放成功无淡入: <third.wav>'
[ "$(grep -c '打开文件超时' "$work/run.log")" = 1 ] || { echo "time-out logged twice"; exit 1; }
repeats=$(python3 "$(dirname "$0")/repeated_sound.py" "$work/heard.wav")
[ "$repeats" = 0 ] || { echo "$repeats seconds of the recording repeat earlier sound"; exit 1; }
echo ok
