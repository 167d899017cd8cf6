#!/usr/bin/env bash
# Installs, from Debian's packages, what the machine lacks of the sets named (all of them when
# none is named), as root or through sudo:
#   play       building the programs and playing them
#   headless   playing without a display: a virtual screen, and what takes a screenshot of it
#   test       what the tests add: clang's fuzzer, window managers and Wayland compositors with
#              Xwayland and Qt's Wayland platform, Xorg's dummy driver (two monitors), X tools,
#              the accessibility bus and its Python client, the package checkers
set -euo pipefail

play=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev qt6-qpa-plugins
    libjpeg62-turbo-dev zlib1g-dev
    fonts-liberation xdg-user-dirs
)
headless=(xvfb xauth python3 python3-xlib imagemagick)
testing=(
    "${headless[@]}"
    clang clang-format libclang-rt-dev openbox xdotool x11-utils fonts-dejavu-core
    dpkg-dev desktop-file-utils lintian appstream librsvg2-bin man-db groff-base
    mutter kwin-wayland weston sway sway-backgrounds icewm xwayland qt6-wayland dbus-daemon
    libgl1-mesa-dri kwin-style-breeze at-spi2-core python3-pyatspi
    xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils kwin-x11 libglib2.0-bin
)

[ $# -eq 0 ] && set -- play test
packages=()
for group in "$@"; do
    case $group in
    play) packages+=("${play[@]}") ;;
    headless) packages+=("${headless[@]}") ;;
    test) packages+=("${play[@]}" "${testing[@]}") ;;
    *) echo "deps.sh: okänd paketgrupp: $group (play, headless eller test)" >&2; exit 2 ;;
    esac
done

run() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
# Installs those of the packages named that are missing.
install() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installerar: ${missing[*]}"
    run apt-get update -qq
    DEBIAN_FRONTEND=noninteractive run apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

install "${packages[@]}"
# mutter 50 runs only as a display server of its own; the tests see its headless screen through
# its development kit, which PipeWire feeds. Older mutters nest in a window and need neither.
if [[ " ${packages[*]} " == *" mutter "* ]] && ! mutter --nested --version >/dev/null 2>&1; then
    install mutter-dev-bin pipewire wireplumber
fi
