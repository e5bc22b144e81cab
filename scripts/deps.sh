#!/bin/bash
# Installs the Debian packages Pointer needs, when missing (apt-get, as root).
# Usage: deps.sh build|test|bench
set -e
pkgs="g++ cmake make pkg-config qt6-base-dev libx11-dev libxcb1-dev libxcb-shm0-dev libturbojpeg0-dev qt6-translations-l10n
      qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
      fonts-arphic-uming fonts-wqy-microhei fontconfig libgif-dev ffmpeg"
if [ "$1" = test ]; then
  pkgs="$pkgs libgtest-dev libbenchmark-dev xvfb xdotool x11-utils x11-apps imagemagick
        libjpeg-turbo-progs clang libclang-rt-14-dev libxtst-dev chromium"
fi
if [ "$1" = bench ]; then
  pkgs="$pkgs libbenchmark-dev xvfb xdotool x11-utils libjpeg-turbo-progs python3 gnuplot-nox
        libxtst-dev xcompmgr"
fi
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
# Node.js may come from elsewhere with npm bundled, which Debian's npm
# package conflicts with: only a machine with no npm at all gets Debian's.
if [ "$1" = test ] && ! command -v npm >/dev/null; then missing="$missing nodejs npm"; fi
[ -z "$missing" ] && exit 0
if [ "$(id -u)" != 0 ]; then
  echo "missing Debian packages:$missing (run as root to install them)" >&2
  exit 1
fi
echo "installing:$missing"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
# No Recommends: extra fonts they bring would change font fallback and so pixels.
apt-get install -y -qq --no-install-recommends $missing
