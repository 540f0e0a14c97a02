#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need (only the missing ones).
set -euo pipefail
PKGS=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev
  libplist-dev libminizip-dev zlib1g-dev libisal-dev libpng-dev libpugixml-dev libdmtx-dev
  libzint-dev libzxing-dev
  libfontconfig-dev fonts-dejavu-core fonts-liberation2 fonts-noto-cjk
  python3 openssl poppler-utils libreoffice-calc-nogui libreoffice-writer-nogui
  xvfb xauth imagemagick xdotool
  cups-daemon cups-client libcups2-dev
  desktop-file-utils shared-mime-info clang libclang-rt-14-dev locales
)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The locales the tests read and convert spreadsheets in.
for l in en_US de_DE fr_FR de_CH tr_TR; do
  locale -a 2>/dev/null | grep -qx "$l.utf8" && continue
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO localedef -i "$l" -f UTF-8 "$l.UTF-8"
done
