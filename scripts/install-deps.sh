#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need; skips what is
# already there. Only the installation itself runs as root: through sudo when the user is not
# root, or, where there is no sudo, it names the command for root to run.
set -euo pipefail

packages=(
    g++ clang libclang-rt-14-dev cmake ninja-build pkg-config git
    qt6-base-dev libqt6dbus6 libgl-dev libxkbcommon-dev
    libudev-dev libx11-dev libxcb-xkb-dev libxi-dev libxtst-dev libjpeg62-turbo-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xauth xdotool fonts-wqy-zenhei dbus-daemon openbox trayer
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
install_command="apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    bash -c "$install_command"
elif command -v sudo >/dev/null 2>&1; then
    sudo bash -c "$install_command"
else
    echo "These packages are missing and there is no sudo. As root (su -), run:" >&2
    echo "    $install_command" >&2
    echo "then start this command again." >&2
    exit 1
fi
