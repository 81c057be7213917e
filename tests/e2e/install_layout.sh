#!/usr/bin/env bash
# cmake --install into a temporary prefix, then the installed pelvano started without an
# argument: its station is the per-user folder, filled with the demo station on the first
# start and left as it is on the next. usage: install_layout.sh BUILD-DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
units="$work/prefix/lib/systemd/user"
for f in bin/pelvano bin/pelvano-cli share/applications/pelvano.desktop \
         share/icons/hicolor/scalable/apps/pelvano.svg share/pelvano/demo-station/节目表.JMB \
         share/man/man1/pelvano.1.gz share/man/man1/pelvano-cli.1.gz \
         share/metainfo/org.pelvano.Pelvano.metainfo.xml \
         lib/systemd/user/pelvano.service lib/systemd/user/pelvano-station@.service; do
    [ -e "$work/prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
# The units start the installed programs, and systemd finds nothing to say about them (an
# instance of the station unit names a folder as systemd-escape --path writes it).
grep -qx "ExecStart=$work/prefix/bin/pelvano" "$units/pelvano.service"
grep -qx "ExecStart=$work/prefix/bin/pelvano-cli run %f" "$units/pelvano-station@.service"
instance="pelvano-station@$(systemd-escape --path "$work/a station").service"
cp "$units/pelvano-station@.service" "$work/$instance"
mkdir "$work/runtime"
XDG_RUNTIME_DIR="$work/runtime" systemd-analyze verify --user "$units/pelvano.service" \
    "$work/$instance" >"$work/verify" 2>&1 || { cat "$work/verify"; exit 1; }
[ ! -s "$work/verify" ] || { cat "$work/verify"; exit 1; }
chmod -R a-w "$work/prefix"
run() { # seconds
    XDG_DATA_HOME="$work/data" PELVANO_OUTPUT=null QT_QPA_PLATFORM=offscreen \
        timeout "$1" "$work/prefix/bin/pelvano" 2>/dev/null || [ $? -eq 124 ]
}
run 3
station="$work/data/pelvano/station"
[ -f "$station/节目表.JMB" ] && [ -d "$station/音乐" ] || { echo "the demo station was not copied"; exit 1; }
ls "$station/History/"*.his >/dev/null || { echo "no play-process log in the station folder"; exit 1; }
echo "[START]" > "$station/参数设置.INI"
rm "$station/节目表.JMB"
run 2
[ ! -f "$station/节目表.JMB" ] || { echo "a station that has files was filled again"; exit 1; }
echo "install layout ok"
