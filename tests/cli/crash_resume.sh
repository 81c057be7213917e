#!/usr/bin/env bash
# A station killed in the middle of its third item comes back 2 s later in that item, where the
# clock says (within 100 ms), with a fade-in; a simulation on a copy of the folder predicts the
# same start to the second.
# After a clean close the next start plays the stored row from its beginning.
set -euo pipefail
cli=$1
work=$(mktemp -d)
. "$(dirname "$0")/station_run.bash"
trap 'kill_run; rm -rf "$work"' EXIT
position="$(dirname "$0")/recorded_position.py"

# run_again LOG RECORDING: the station once more, on its own recording and log.
run_again() {
    PELVANO_OUTPUT="wav:$2" "$cli" run "$work/station" >"$1" 2>&1 &
    run_pid=$!
}
# ms_of TIME: milliseconds of the day of a log time hh:mm:ss.zzz.
ms_of() {
    local h=${1:0:2} m=${1:3:2} s=${1:6:2} z=${1:9:3}
    echo $(((10#$h * 3600 + 10#$m * 60 + 10#$s) * 1000 + 10#$z))
}

new_station
# The recording is matched sample for sample against the files: no loudness gain.
sed -i 's/^Loudness=YES/Loudness=NO/' "$work/station/参数设置.INI"
noise "$work/station/first.wav" 3 1
noise "$work/station/second.wav" 3 2
noise "$work/station/third.wav" 20 3
add_row first.wav
add_row second.wav
add_row third.wav
start_run
wait_for_line '播放成功无淡入: <third.wav>' 15
sleep 3
kill -KILL "$run_pid"
wait "$run_pid" 2>/dev/null || true
began=$(ms_of "$(log_time_of '播放成功无淡入: <third.wav>')")

sleep 2
run_again "$work/run2.log" "$work/heard2.wav"
for _ in $(seq 1 50); do grep -q '播放成功并淡入' "$work/run2.log" && break; sleep 0.1; done
sleep 2
# The prediction of that start, on a copy of the folder on air (its last run still unclean).
at=$(grep -m1 '播放成功并淡入' "$work/run2.log" | cut -c1-8)
from="$(date +%Y-%m-%d) $at"
to=$(date -d "$from 2 sec" '+%Y-%m-%d %H:%M:%S')
"$cli" simulate "$work/station" --copy --from "$from" --to "$to" >"$work/sim.out"
copy=$(sed -n 's/^copy: //p' "$work/sim.out")
predicted=$(iconv -f GB18030 -t UTF-8 "$copy/History/${from:0:10}.his" |
    grep -o '异常退出后恢复播出：<.*> 从 [0-9:]* 开始' || true)
rm -rf "$(dirname "$copy")"
stop_run
grep -q '异常退出后恢复播出：<third.wav> 从 00:0[4-7] 开始' "$work/run2.log" ||
    { echo "no resume in the third item"; cat "$work/run2.log"; exit 1; }
[ "$(grep -c '异常退出后恢复播出' "$work/run2.log")" = 1 ] || { echo "resumed twice"; exit 1; }
resumed=$(ms_of "$(grep -m1 '播放成功并淡入: \[1000\]毫秒,<third.wav>' "$work/run2.log" | cut -c1-12)")
read -r name offset ratio < <(python3 "$position" "$work/heard2.wav" "$work"/station/*.wav)
[ "$name" = third.wav ] || { echo "the recording starts in $name"; exit 1; }
implied=$((resumed - began))
python3 - "$offset" "$implied" "$ratio" <<'PY'
import sys
offset, implied, ratio = float(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3])
if abs(offset - implied) > 100:
    sys.exit("resumed at %.0f ms, the clock says %.0f ms" % (offset, implied))
if ratio > 0.1:
    sys.exit("no fade-in: the first 50 ms at %.2f of the full level" % ratio)
PY
# The simulation says what the start said, to the second or the next.
[ -n "$predicted" ] || { echo "the simulation did not resume"; exit 1; }
said=$(grep -o '异常退出后恢复播出：<.*> 从 [0-9:]* 开始' "$work/run2.log")
sec() { local t=${1##* 从 }; t=${t%% *}; echo $((10#${t%%:*} * 60 + 10#${t##*:})); }
[ "${predicted%% 从*}" = "${said%% 从*}" ] && [ $(($(sec "$said") - $(sec "$predicted"))) -ge -1 ] &&
    [ $(($(sec "$said") - $(sec "$predicted"))) -le 1 ] ||
    { echo "simulated: $predicted; started: $said"; exit 1; }

# Closed cleanly: the next start plays the stored row from its beginning, as ever.
run_again "$work/run3.log" "$work/heard3.wav"
for _ in $(seq 1 50); do grep -q '播放成功' "$work/run3.log" && break; sleep 0.1; done
sleep 2
stop_run
grep -q '播放成功无淡入: <third.wav>' "$work/run3.log" || { cat "$work/run3.log"; exit 1; }
! grep -q '异常退出后恢复播出' "$work/run3.log" || { echo "resumed after a clean close"; exit 1; }
read -r name offset ratio < <(python3 "$position" "$work/heard3.wav" "$work"/station/*.wav)
[ "$name" = third.wav ] && python3 -c "import sys; sys.exit(abs($offset) > 50)" ||
    { echo "after a clean close the recording starts in $name at $offset ms"; exit 1; }
echo ok
