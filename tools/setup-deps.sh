#!/bin/sh
# Installs the Debian packages that building, running and testing need,
# skipping the ones already present. Debian 12, as root.
set -e
pkgs="cmake ninja-build python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64
      googletest wine wine64 xvfb x11-utils imagemagick xdotool fonts-wqy-microhei"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
