#!/usr/bin/env bash
# kill -9 of a batch tag update at random moments: every file keeps either its old bytes or its
# new tag in front of the very same audio, and after the next (complete) run no temporary file
# is left beside them. KILLS rounds (default 20; the crash soak runs it with 200 or more) over
# FILES copies (default 12) of a generated MP3 file. LEFTOVERS=warn only reports temporary files
# left behind instead of failing.
set -euo pipefail
cli=$(realpath "$1")
kills=${KILLS:-20}
count=${FILES:-12}
leftovers=${LEFTOVERS:-fail}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v ffmpeg >/dev/null || { echo "ffmpeg is not installed: skipped"; exit 0; }

mkdir "$work/orig" "$work/music"
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=40 -c:a libmp3lame -b:a 128k "$work/base.mp3"
list="$work/list.mpl"
: >"$list"
for i in $(seq 1 "$count"); do
    name=$(printf 'song%02d.mp3' "$i")
    cp "$work/base.mp3" "$work/orig/$name"
    (cd "$work" && "$cli" tags set "orig/$name" --title "Old $i" >/dev/null)
    printf '%5d^^New %d^^^^00:00:40^^%s^^\r\n' "$i" "$i" "$work/music/$name" >>"$list"
done

check() {
    python3 - "$work/orig" "$work/music" "$1" "$leftovers" <<'PY'
import os, sys
orig, music, final, leftovers = sys.argv[1], sys.argv[2], sys.argv[3] == "final", sys.argv[4]
def audio(data):
    if data[:3] != b"ID3":
        return data
    size = 0
    for b in data[6:10]:
        size = size * 128 + (b & 0x7F)
    return data[10 + size:]
names = sorted(os.listdir(orig))
extra = sorted(set(os.listdir(music)) - set(names))
if final and extra:
    if leftovers != "warn":
        sys.exit("left behind: %s" % extra)
    print("warning: left behind: %s" % extra)
    for name in extra:
        os.remove(os.path.join(music, name))
for name in names:
    old = open(os.path.join(orig, name), "rb").read()
    new = open(os.path.join(music, name), "rb").read()
    if new == old and not final:
        continue
    tag_end = len(new) - len(audio(new))
    if audio(new) != audio(old):
        sys.exit("%s: the audio changed" % name)
    if b"TALB\x00\x00\x00\x09\x00\x00\x00NewAlbum" not in new[:tag_end]:
        sys.exit("%s: neither the old nor the new tag" % name)
PY
}

# How long one whole run takes, so that the kills land inside it.
cp "$work/orig/"* "$work/music/"
start=$(date +%s%N)
"$cli" tags batch "$list" --album NewAlbum >/dev/null
span_ms=$(( ($(date +%s%N) - start) / 1000000 + 1 ))
check final

for round in $(seq 1 "$kills"); do
    cp "$work/orig/"* "$work/music/"
    "$cli" tags batch "$list" --album NewAlbum >/dev/null 2>&1 &
    pid=$!
    sleep "$(awk -v r="$RANDOM" -v s="$span_ms" 'BEGIN { printf "%.3f", (r % (s + 1)) / 1000 }')"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    check partial || { echo "round $round"; exit 1; }
    # The next start completes the batch and leaves nothing behind.
    "$cli" tags batch "$list" --album NewAlbum >/dev/null
    check final || { echo "round $round, after the next run"; exit 1; }
done
echo "ok: $kills kills, one run of $count files takes ${span_ms} ms"
