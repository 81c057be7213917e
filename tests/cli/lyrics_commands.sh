#!/usr/bin/env bash
# pelvano-cli lyrics: the table of a file's lyrics, the line at a position, errors.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

printf '[ti:歌]\r\n[00:10.00]第一行\r\n[00:20.00][00:40.00]副歌\r\n[00:50.00]end\r\n' | iconv -f UTF-8 -t GB18030 >song.LRC
out=$("$cli" lyrics SONG.wav)
[ "$out" = "$(printf '1\t00:10.00\t第一行\n2\t00:20.00\t副歌\n3\t00:40.00\t副歌\n4\t00:50.00\tend')" ]
[ "$("$cli" lyrics at SONG.wav 30000)" = "$(printf '2\t00:20.00\t副歌')" ]
[ "$("$cli" lyrics at SONG.wav 0)" = "$(printf '1\t00:10.00\t第一行')" ]
[ "$("$cli" lyrics at SONG.wav 99000)" = "$(printf '4\t00:50.00\tend')" ]

# The exit status, with exactly one line of error.
status() {
    local s=0
    "$cli" "$@" >/dev/null 2>"$work/err" || s=$?
    [ "$(wc -l <"$work/err")" = 1 ] || s="$s with $(wc -l <"$work/err") error lines"
    echo "$s"
}
[ "$(status lyrics none.wav)" = 1 ]
[ "$(status lyrics at SONG.wav soon)" = 2 ]
[ "$(status lyrics)" = 2 ]
echo ok
