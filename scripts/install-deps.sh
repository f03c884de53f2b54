#!/bin/bash
# Installs the Debian packages the jukebox needs to build, run, be packaged
# and be tested.
# Only what is missing is installed, so a second run costs nothing.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-gfx1.2-dev
  libsqlite3-dev sqlite3 libx11-dev libxrandr-dev zlib1g-dev libturbojpeg0-dev
  libmosquitto-dev nlohmann-json3-dev mosquitto openssl
  mplayer alsa-utils fonts-liberation2
  python3 python3-pil python3-qrcode yt-dlp
  googletest libgtest-dev libbenchmark-dev
  xvfb xdotool x11-utils ffmpeg imagemagick zbar-tools
  xinit dpkg-dev debhelper lintian sudo strace python3-xlib
)

missing=()
for package in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
