#!/usr/bin/env bash
# Installs the Debian packages the build, the saver and the tests need, when any is missing.
set -euo pipefail

PACKAGES=(
  g++ cmake ninja-build pkg-config git fonts-liberation2
  libx11-dev libxext-dev libxfixes-dev libxtst-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libcrypt-dev libstb-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb x11-utils x11-xserver-utils xdotool imagemagick
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi
