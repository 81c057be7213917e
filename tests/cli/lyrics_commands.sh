#!/usr/bin/env bash
# pelvano-cli lyrics: the table of a file's lyrics, the line at a position, errors.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/expect_fail.bash"
cd "$work"

printf '[ti:歌]\r\n[00:10.00]第一行\r\n[00:20.00][00:40.00]副歌\r\n[00:50.00]end\r\n' | iconv -f UTF-8 -t GB18030 >song.LRC
out=$("$cli" lyrics SONG.wav)
[ "$out" = "$(printf '1\t00:10.00\t第一行\n2\t00:20.00\t副歌\n3\t00:40.00\t副歌\n4\t00:50.00\tend')" ]
[ "$("$cli" lyrics at SONG.wav 30000)" = "$(printf '2\t00:20.00\t副歌')" ]
[ "$("$cli" lyrics at SONG.wav 0)" = "$(printf '1\t00:10.00\t第一行')" ]
[ "$("$cli" lyrics at SONG.wav 99000)" = "$(printf '4\t00:50.00\tend')" ]

# An MP3 file with the default settings: its tag's lyrics first, else the ".lrc" file beside it;
# a file with neither has no lyrics.
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=2 -c:a libmp3lame -b:a 128k 歌.mp3
cp 歌.mp3 无词.mp3
printf '[00:05.00]文件里的词\n' >歌.lrc
[ "$("$cli" lyrics 歌.mp3)" = "$(printf '1\t00:05.00\t文件里的词')" ]
printf '[00:07.00]标签里的词\n' >tag.lrc
"$cli" tags set 歌.mp3 --lyrics-file tag.lrc >/dev/null
[ "$("$cli" lyrics 歌.mp3)" = "$(printf '1\t00:07.00\t标签里的词')" ]
printf '\r\n' >blank.lrc
"$cli" tags set 歌.mp3 --lyrics-file blank.lrc >/dev/null
[ "$("$cli" lyrics at 歌.mp3 9000)" = "$(printf '1\t00:05.00\t文件里的词')" ]
expect_fail 1 lyrics 无词.mp3
expect_fail 1 lyrics at 无词.mp3 0
printf '[ti:only a title]\n' >无词.lrc
expect_fail 1 lyrics 无词.mp3

expect_fail 1 lyrics none.wav
expect_fail 2 lyrics at SONG.wav soon
expect_fail 2 lyrics
echo ok
