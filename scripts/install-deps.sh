#!/usr/bin/env bash
# Installs every build, test and run dependency of Pelvano from Debian 12 packages.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config git \
    qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libqt6svg6 qt6-translations-l10n \
    libavformat-dev libavcodec-dev libswresample-dev libavutil-dev \
    portaudio19-dev libasound2-dev jackd2 libjack-jackd2-dev \
    libgtest-dev libgmock-dev libbenchmark-dev \
    ffmpeg espeak-ng fonts-wqy-microhei \
    clang libclang-rt-14-dev xvfb xdotool imagemagick python3 fonts-dseg \
    python3-mutagen eyed3 id3v2 libshout3-dev libssl-dev openssl icecast2 libsystemd-dev systemd \
    python3-fuse fuse3 \
    libebur128-dev libsqlite3-dev sqlite3 libcpp-httplib-dev libsodium-dev \
    chromium chromium-driver python3-selenium prometheus \
    pulseaudio pulseaudio-utils libasound2-plugins \
    lintian appstream dpkg-dev fakeroot man-db >/dev/null
