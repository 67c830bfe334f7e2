#!/usr/bin/env bash
# Installs the Debian packages needed to build, run, test and benchmark the program.
# Packages that are already installed are skipped; without root it prints the command to run.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libgl-dev
  qt6-qpa-plugins qt6-image-formats-plugins
  libjpeg62-turbo-dev
  libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core fontconfig
  xvfb xauth xdotool imagemagick
  libimage-exiftool-perl exiv2
  adwaita-icon-theme
  libcups2-dev desktop-file-utils appstream
)
if [ "${WITH_FUZZ:-0}" = 1 ]; then
  packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

cmd="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
    sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive $cmd
    exit 0
  fi
  echo "Missing packages: ${missing[*]}" >&2
  echo "Run as root: apt-get update && $cmd" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
$cmd
