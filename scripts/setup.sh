#!/usr/bin/env bash
# Installs what building, testing and running need on Debian 12. Safe to run
# again: packages already present are skipped.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    clang libclang-rt-14-dev
    qt6-base-dev qt6-qpa-plugins
    libgtest-dev libgmock-dev libbenchmark-dev libpng-dev
    fonts-liberation
    chromium
    scdoc desktop-file-utils appstream lintian dpkg-dev file man-db
    libglib2.0-bin shared-mime-info
    tumbler dbus-daemon dbus-bin libgdk-pixbuf2.0-bin
    xvfb xauth xdotool x11-utils imagemagick at-spi2-core python3-pyatspi python3-gi
    weston qt6-wayland
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
