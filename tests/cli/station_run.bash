# Sourced by the pelvano-cli run tests (which set $cli and $work): a station of the test's own
# sounds and rows, run in real time on the WAV output and ended with SIGTERM.
run_pid=

new_station() {
    "$cli" demo init "$work/station" >/dev/null
    # [START] is the file's last section: no loops, so that nothing is meant to play twice.
    printf 'chkSectCycle=NO\r\nchkAllCycle=NO\r\n' >>"$work/station/参数设置.INI"
    printf '序号\t歌曲\t歌手\t时长\t交叉|\t淡入|\t淡出|\t开播时间\t文件名\t估计播出时间\n' >"$work/s.tsv"
    rows=0
}
# noise PATH SECONDS SEED: white noise, so that no second of it equals another.
noise() {
    ffmpeg -nostdin -v error -f lavfi -i "anoisesrc=d=$2:c=white:a=0.3:seed=$3" -ac 2 -ar 44100 \
        -c:a pcm_s16le "$1"
}
# add_row FILE [START]: cross-fade 1 s, no fades.
add_row() {
    rows=$((rows + 1))
    printf '%4d\t行%d\t\t\t1\t0\t0\t%s\t%s\t\n' "$rows" "$rows" "${2:-}" "$1" >>"$work/s.tsv"
}
start_run() {
    "$cli" schedule build "$work/s.tsv" "$work/station/节目表.JMB"
    PELVANO_OUTPUT="wav:$work/heard.wav" "$cli" run "$work/station" >"$work/run.log" 2>&1 &
    run_pid=$!
}
# wait_for_line PATTERN SECONDS
wait_for_line() {
    local tenths=$(($2 * 10))
    for _ in $(seq 1 "$tenths"); do
        grep -q "$1" "$work/run.log" && return 0
        sleep 0.1
    done
    echo "not logged within $2 s: $1"
    cat "$work/run.log"
    exit 1
}
# SIGTERM ends the run, with status 0, within 2 s.
stop_run() {
    kill -TERM "$run_pid"
    for _ in $(seq 1 20); do
        kill -0 "$run_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$run_pid" 2>/dev/null; then
        echo "still running 2 s after SIGTERM"
        cat "$work/run.log"
        exit 1
    fi
    wait "$run_pid" || { echo "run ended with status $?"; exit 1; }
    run_pid=
}
kill_run() {
    if [ -n "$run_pid" ]; then kill -KILL "$run_pid" 2>/dev/null || true; fi
}
expect_line() {
    grep -q "$1" "$work/run.log" || { echo "missing: $1"; cat "$work/run.log"; exit 1; }
}
expect_no_line() {
    ! grep -q "$1" "$work/run.log" || { echo "unexpected: $1"; cat "$work/run.log"; exit 1; }
}
expect_nothing_heard_twice() {
    local repeats
    repeats=$(python3 "$(dirname "${BASH_SOURCE[0]}")/repeated_sound.py" "$work/heard.wav")
    [ "$repeats" = 0 ] || { echo "$repeats seconds of the recording repeat earlier sound"; exit 1; }
}
# The log time (hh:mm:ss.zzz) of the first line with the text.
log_time_of() {
    grep -m1 "$1" "$work/run.log" | cut -c1-12
}
