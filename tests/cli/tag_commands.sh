#!/usr/bin/env bash
# pelvano-cli tags and wma: set, show, strip, JSON texts in UTF-8, errors.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

song="$work/song.mp3"
printf '\xff\xfb\x90\x64' >"$song"
head -c 413 /dev/zero >>"$song"
printf '[00:01]\xc4\xe3\xba\xc3\r\n' >"$work/song.lrc"  # lyrics files hold GBK

out=$("$cli" tags set "$song" --title 晚风 --comment 'say "hi"' --lyrics-file "$work/song.lrc")
grep -qF '"tag": "id3v2", "version": 3' <<<"$out"
grep -qF '"Title": "晚风"' <<<"$out"
grep -qF '"Comment": "say \"hi\""' <<<"$out"
grep -qF '"Lyrics": "[00:01]你好\r\n"' <<<"$out"
"$cli" tags "$song" | grep -qF '"Title": "晚风"'
[ "$(head -c 3 "$song")" = ID3 ]
# Chinese texts are UTF-16 (encoding 1, byte-order mark) unless the station keeps GBK bytes.
od -An -tx1 "$song" | tr -d '\n' | grep -q '54 49 54 32 00 00 00 07 00 00 01 ff fe 5a 66 ce 98'
(cd "$work" && printf '[Linux]\r\nTagTextEncoding=GBK\r\n' >参数设置.INI &&
    "$cli" tags set song.mp3 --title 晚霞 >/dev/null && rm 参数设置.INI)
od -An -tx1 "$song" | tr -d '\n' | grep -q '54 49 54 32 00 00 00 05 00 00 00 cd ed cf bc'

"$cli" tags set "$song" --artist 林 --keep-frames | grep -qF '"Title": "晚霞", "Artist": "林"'
"$cli" tags strip "$song" | grep -qF '"tag": "none", "version": 0, "TagSize": 0'
[ "$(wc -c <"$song")" = 417 ]

source "$(dirname "$0")/expect_fail.bash"

# Lyrics files in UTF-8 (with or without a byte order mark) and in GBK all store the same
# lyrics, which ffprobe and mutagen read back as they were written.
mp3="$work/tone.mp3"
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -c:a libmp3lame -b:a 128k "$mp3"
printf '[00:01.00]晚风轻拂\r\n[00:02.00]第二行\r\n' >"$work/utf8.lrc"
printf '\xef\xbb\xbf' | cat - "$work/utf8.lrc" >"$work/bom.lrc"
iconv -f UTF-8 -t GBK "$work/utf8.lrc" >"$work/gbk.lrc"
for lrc in utf8 bom gbk; do
    out=$("$cli" tags set "$mp3" --lyrics-file "$work/$lrc.lrc")
    grep -qF '"Lyrics": "[00:01.00]晚风轻拂\r\n[00:02.00]第二行\r\n"' <<<"$out" || { echo "$lrc: $out"; exit 1; }
    listed=$(mid3v2 -l "$mp3" | tr -d '\r')
    grep -A1 -xF 'TXXX==[00:01.00]晚风轻拂' <<<"$listed" | grep -qxF '[00:02.00]第二行' ||
        { echo "$lrc: mid3v2"; exit 1; }
    probe=$(ffprobe -v error -show_format -of json "$mp3")
    grep -qF '"": "[00:01.00]晚风轻拂\r\n[00:02.00]第二行\r\n"' <<<"$probe" || { echo "$lrc: ffprobe"; exit 1; }
done
# And back: lyrics another tool stored show in our table.
mid3v2 --TXXX ':[00:03.00]别的工具' "$mp3"
[ "$("$cli" lyrics "$mp3")" = "$(printf '1\t00:03.00\t别的工具')" ]

# A file its owner may not write is not rewritten, whoever runs the command.
chmod 0444 "$mp3"
before=$(md5sum <"$mp3")
expect_fail 1 tags set "$mp3" --title x
grep -qxF "pelvano-cli: 文件只读，未修改: $mp3" "$work/err"
expect_fail 1 tags strip "$mp3"
grep -qxF "pelvano-cli: 文件只读，未修改: $mp3" "$work/err"
[ "$(md5sum <"$mp3")" = "$before" ]

expect_fail 1 tags "$work/none.mp3"
expect_fail 1 tags set "$work/none.mp3" --title x
expect_fail 1 wma "$song"
expect_fail 2 tags
expect_fail 2 tags set
expect_fail 2 tags set "$song" --bogus x
expect_fail 2 tags set "$song" --title
expect_fail 2 tags strip
expect_fail 2 wma
expect_fail 2 wma a b
echo ok
