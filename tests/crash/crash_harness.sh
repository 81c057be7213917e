#!/usr/bin/env bash
# Kills the program with SIGKILL at random moments while it rewrites settings, schedules,
# lyrics, tagged MP3 files and MP3 lists, and checks after every kill that the file parses and holds the
# old or the new contents whole, and that after the next start (the leftovers of ended writers
# removed, as Station::start and every replace do) no temporary file is left.
# Usage: crash_harness.sh WRITER KILLS   (WRITER: the pelvano-crash-writer executable)
set -euo pipefail
writer=$1
kills=${2:-40}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

declare -A files=([settings]="$work/station/参数设置.INI" [schedule]="$work/station/节目表.JMB"
                  [lyrics]="$work/music/新闻.lrc" [tags]="$work/music/新闻.mp3"
                  [mpl]="$work/music/歌曲.mpl")
mkdir -p "$work/station" "$work/music"
for kind in "${!files[@]}"; do "$writer" once "$kind" "${files[$kind]}"; done

temporaries() { find "$work" -name '*.tmp-*' | wc -l; }
kinds=("${!files[@]}")
damaged=0 left_after_kill=0 left_after_next=0
declare -A per_kind
for ((i = 1; i <= kills; i++)); do
    kind=${kinds[RANDOM % ${#kinds[@]}]}
    file=${files[$kind]}
    "$writer" write "$kind" "$file" &
    pid=$!
    sleep "$(printf '0.%03d' $((RANDOM % 80 + 5)))"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    per_kind[$kind]=$((${per_kind[$kind]:-0} + 1))
    "$writer" check "$kind" "$file" || damaged=$((damaged + 1))
    left_after_kill=$((left_after_kill + $(temporaries)))
    "$writer" once "$kind" "$file"
    left_after_next=$((left_after_next + $(temporaries)))
done
summary=""
for kind in "${kinds[@]}"; do summary+=" $kind ${per_kind[$kind]:-0}"; done
echo "kills $kills ($summary ), damaged files $damaged, temporaries right after a kill $left_after_kill, left after the next start $left_after_next"
[ "$damaged" = 0 ] && [ "$left_after_next" = 0 ]
