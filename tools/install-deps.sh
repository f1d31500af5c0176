#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need, when any is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang clang-format clang-tidy pkg-config
    qt6-base-dev qt6-charts-dev libgl-dev libfontconfig-dev libsqlite3-dev libgtest-dev
    libbenchmark-dev libacl1-dev
    xvfb xauth util-linux
    libclang-rt-14-dev
    dpkg-dev file help2man man-db desktop-file-utils appstream openbox xdotool x11-utils
    poppler-utils strace abigail-tools doxygen shellcheck python3 imagemagick
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
