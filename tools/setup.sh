#!/usr/bin/env bash
# Installs what building and testing Brelvoxa needs on Debian 12, then configures and
# builds into build/ (or the directory given as BUILD_DIR). Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake g++ ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev libcsv-dev
    qt6-base-dev qt6-base-private-dev qt6-translations-l10n libgl-dev libxcb1-dev
    fonts-liberation2 fonts-comic-neue
    xvfb xauth x11-utils openbox imagemagick
    clang libclang-rt-14-dev llvm desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja "$@"
cmake --build "$build_dir" -j "$(nproc)"
