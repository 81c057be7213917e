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

expect_fail 1 lyrics none.wav
expect_fail 2 lyrics at SONG.wav soon
expect_fail 2 lyrics
echo ok
