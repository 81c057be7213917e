#!/usr/bin/env bash
# The Debian package as a user gets it: made from the build tree, checked by lintian and the
# AppStream validator, installed with apt-get, its programs run (a simulated hour, the player
# under Xvfb for 10 s), removed again, and nothing of it left in /usr.
# Without root the package is made and checked, and the install part is skipped (status 77).
# usage: package_install.sh SOURCE-DIR BUILD-DIR
set -euo pipefail
source_dir=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
now() { date +%s%N; }
seconds_since() { # START from now: tenths of a second
    local tenths=$((($(now) - $1) / 100000000))
    echo "$((tenths / 10)).$((tenths % 10))"
}

start=$(now)
deb=$(BUILD_DIR="$build" "$source_dir/scripts/package.sh")
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes, made in $(seconds_since "$start") s"
version=$(dpkg-deb -f "$deb" Version)

lintian_status=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v "root privileges" "$work/lintian.log" || true
[ "$lintian_status" -eq 0 ] || { echo "lintian reports errors"; exit 1; }
dpkg-deb -x "$deb" "$work/contents"
appstreamcli validate --no-net "$work/contents/usr/share/metainfo/"*.metainfo.xml
for f in usr/bin/pelvano usr/bin/pelvano-cli usr/share/applications/pelvano.desktop \
         usr/share/icons/hicolor/scalable/apps/pelvano.svg usr/share/man/man1/pelvano.1.gz \
         usr/share/man/man1/pelvano-cli.1.gz usr/lib/systemd/user/pelvano.service \
         usr/lib/systemd/user/pelvano-station@.service usr/share/pelvano/demo-station/节目表.JMB; do
    [ -e "$work/contents/$f" ] || { echo "not in the package: /$f"; exit 1; }
done
# A station played in the build tree leaves nothing in the package's demo station.
[ ! -e "$work/contents/usr/share/pelvano/demo-station/History" ] || { echo "a History in the package"; exit 1; }

if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: installing the package needs root (CI runs as root); the package was made and checked"
    exit 77
fi
export DEBIAN_FRONTEND=noninteractive
if dpkg -s pelvano >/dev/null 2>&1; then apt-get remove -y -qq pelvano >/dev/null; fi
find /usr | sort >"$work/usr-before"

start=$(now)
apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
echo "installed in $(seconds_since "$start") s"
[ "$(/usr/bin/pelvano-cli --version)" = "pelvano-cli $version" ] || { echo "pelvano-cli --version"; exit 1; }
[ "$(/usr/bin/pelvano --version)" = "pelvano $version" ] || { echo "pelvano --version"; exit 1; }
man -w pelvano-cli >/dev/null

station="$work/station"
/usr/bin/pelvano-cli demo init "$station" >/dev/null
/usr/bin/pelvano-cli simulate "$station" --from "2026-12-07 05:30:00" --to "2026-12-07 06:30:00" >/dev/null
his="$station/History/2026-12-07.his"
asrun="$station/History/2026-12-07.asrun.csv"
[ -s "$his" ] && [ -s "$asrun" ] || { echo "the simulated hour wrote no log"; exit 1; }
if iconv -f GB18030 -t UTF-8 "$his" | grep -q "播放失败"; then
    echo "the installed demo station has a file that does not play:"
    iconv -f GB18030 -t UTF-8 "$his" | grep "播放失败"
    exit 1
fi
[ "$(grep -c ',06:00:00,' "$asrun")" -eq 1 ] || { echo "the timed row of 06:00 was not on air"; exit 1; }

# A display of our own: Xvfb picks a free number and tells it on a descriptor.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
status=0
env -u QT_QPA_PLATFORM DISPLAY=":$(cat "$work/display")" PELVANO_OUTPUT=null \
    timeout 10 /usr/bin/pelvano "$station" >"$work/player.log" 2>&1 || status=$?
[ "$status" -eq 124 ] || { echo "the installed player ended with status $status"; cat "$work/player.log"; exit 1; }
today="$station/History/$(date +%F).his"
iconv -f GB18030 -t UTF-8 "$today" | grep -q "播放成功" || { echo "the installed player started nothing"; exit 1; }

start=$(now)
apt-get remove -y -qq pelvano >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
echo "removed in $(seconds_since "$start") s"
find /usr | sort >"$work/usr-after"
if ! diff "$work/usr-before" "$work/usr-after"; then
    echo "the package left files in /usr (> above)"
    exit 1
fi
echo "package ok"
