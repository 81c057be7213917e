#!/usr/bin/env bash
# One player per station folder: a second run or simulate on a folder that is on air is
# refused with the message while the first plays on; simulate --copy predicts its day; a
# killed station leaves no lock behind. With a player (pelvano) as the third argument, the
# station on air is that player, and a second player is refused too.
# usage: station_lock.sh PELVANO-CLI DEMO-STATION [PELVANO]
set -euo pipefail
cli=$1
demo=$2
player=${3:-}
if [ -n "$player" ]; then on_air=("$player"); else on_air=("$cli" run); fi
export PELVANO_OUTPUT=null QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
first=""
cleanup() {
    [ -z "$first" ] || kill -9 "$first" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cp -r "$demo" "$work/station"
station="$work/station"
lockfile="$station/.pelvano.lock"
. "$(dirname "$0")/expect_fail.bash"

held() { [ -e "$lockfile" ] && ! flock -n "$lockfile" true; }
start_first() {
    "${on_air[@]}" "$station" >"$work/first.log" 2>&1 &
    first=$!
    for _ in $(seq 100); do held && return 0; sleep 0.1; done
    echo "the station never took its lock"; cat "$work/first.log"; exit 1
}
refused() {
    expect_fail 1 "$@"
    grep -qx 'pelvano-cli: 该播出站已在运行' "$work/err" || { cat "$work/err"; exit 1; }
}

start_first
refused run "$station"
refused simulate "$station" --from "2026-12-07 05:59:58" --to "2026-12-07 06:00:10"
if [ -n "$player" ]; then
    set +e
    "$player" "$station" >/dev/null 2>"$work/err"
    status=$?
    set -e
    [ "$status" = 1 ] || { echo "a second player started ($status)"; exit 1; }
    grep -qx 'pelvano: 该播出站已在运行' "$work/err" || { cat "$work/err"; exit 1; }
fi
kill -0 "$first" || { echo "the first station ended"; cat "$work/first.log"; exit 1; }
held || { echo "the first station lost its lock"; exit 1; }

# The day of the station on air, predicted on a copy: the copy's log has it, the folder not.
out=$("$cli" simulate "$station" --copy --from "2026-12-07 05:59:58" --to "2026-12-07 06:00:10")
copy=$(sed -n 's/^copy: //p' <<<"$out")
[ -n "$copy" ] && [ "$copy" != "$station" ] || { echo "no copy: $out"; exit 1; }
trap 'cleanup; rm -rf "$(dirname "$copy")"' EXIT
iconv -f GB18030 -t UTF-8 "$copy/History/2026-12-07.his" | grep -q '定时节目开始:序号1' ||
    { echo "the copy's log lacks the day"; exit 1; }
[ ! -e "$station/History/2026-12-07.his" ] || { echo "the simulation wrote into the folder on air"; exit 1; }
[ -L "$copy/音乐" ] || { echo "the sounds were copied, not linked"; exit 1; }
kill -0 "$first" || { echo "the first station ended during the copy's simulation"; exit 1; }

# A killed station: the next start gets the lock at once and plays until interrupted.
{ kill -9 "$first" && wait "$first"; } 2>/dev/null || true
start_first
sleep 2
kill -INT "$first"
set +e
wait "$first"
status=$?
set -e
first=""
[ "$status" = 0 ] || { echo "restart after kill -9 ended with $status"; cat "$work/first.log"; exit 1; }
echo ok
