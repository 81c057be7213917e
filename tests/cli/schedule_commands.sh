#!/usr/bin/env bash
# pelvano-cli schedule: dump/build round trip, today's file, estimates, errors.
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cli" demo init "$work/station" >/dev/null
jmb="$work/station/节目表.JMB"
# The demo station opens visible: it does not minimise itself at start.
grep -q '^chkMin=NO' "$work/station/参数设置.INI"
"$cli" schedule dump "$jmb" >"$work/a.tsv"
head -1 "$work/a.tsv" | grep -q '^序号	歌曲	歌手	时长'
"$cli" schedule build "$work/a.tsv" "$work/b.JMB"
cmp "$jmb" "$work/b.JMB"

[ "$("$cli" schedule today "$work/station" 2026-12-06)" = "$work/station/节目表.JMB" ]
: >"$work/station/星期日.JMB"
[ "$("$cli" schedule today "$work/station" 2026-12-06)" = "$work/station/星期日.JMB" ]
: >"$work/station/2026-12-06.JMB"
[ "$("$cli" schedule today "$work/station" 2026-12-06)" = "$work/station/2026-12-06.JMB" ]

"$cli" schedule estimate "$jmb" | grep -q '06:00:17'

. "$(dirname "$0")/expect_fail.bash"
expect_fail 1 schedule dump "$work/none.JMB"
expect_fail 1 schedule estimate "$work/none.JMB"
expect_fail 2 schedule dump
expect_fail 2 schedule today "$work/station" 2026-02-30
expect_fail 2 schedule frobnicate
expect_fail 2 nosuchcommand
expect_fail 1 schedule build "$work/a.tsv" "$work/no/such/dir/x.JMB"
echo ok
