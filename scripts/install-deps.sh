#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quillmere
# needs; with the argument `program`, only those the program itself needs.
# When all of them are installed already it does nothing (and needs no root).
set -euo pipefail
packages=(
  build-essential cmake pkg-config ninja-build
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-qpa-plugins
  libgl-dev libxkbcommon-dev libxcb1-dev
  libmagick++-dev libemf2svg-dev libuemf-dev libsodium-dev libsqlite3-dev zlib1g-dev libtiff-dev
  xvfb xauth xdg-utils desktop-file-utils shared-mime-info libglib2.0-bin fonts-dejavu-core
)
if [ "${1:-}" != program ]; then
  packages+=(libgtest-dev googletest poppler-utils openbox xdotool x11-utils)
fi
missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" != "0" ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
