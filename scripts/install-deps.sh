#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need; skips what is
# already there. Run as root (or with sudo available).
set -euo pipefail

packages=(
    g++ clang libclang-rt-14-dev cmake ninja-build pkg-config git
    qt6-base-dev libqt6dbus6 libgl-dev libxkbcommon-dev
    libudev-dev libx11-dev libxi-dev libxtst-dev libjpeg62-turbo-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth xdotool fonts-wqy-zenhei dbus-daemon
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "installing: ${missing[*]}"
as_root=()
if [ "$(id -u)" -ne 0 ]; then
    as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
