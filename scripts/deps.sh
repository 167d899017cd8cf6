#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the programs and the tests need and the
# machine lacks. Run as root (or with sudo available).
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
    xvfb xauth openbox xdotool x11-utils imagemagick
    fonts-liberation fonts-dejavu-core
    python3 python3-xlib
    dpkg-dev desktop-file-utils xdg-user-dirs
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
echo "Installerar: ${missing[*]}"
run apt-get update -qq
DEBIAN_FRONTEND=noninteractive run apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
