#!/usr/bin/env bash
# Builds Brelvoxa for this Debian machine and packs it with CPack as
# dist/brelvoxa_1.00_amd64.deb: Dormatique, brelvoxa (when the tree has it), the
# desktop entry and the icon, with the run-time dependencies declared.
# Install it with `sudo apt install ./dist/brelvoxa_1.00_amd64.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-package}

# dpkg-shlibdeps (dpkg-dev) finds the libraries the programs link against.
BUILD_DIR=$build_dir bash tools/setup.sh -DCMAKE_BUILD_TYPE=Release -DBRELVOXA_TESTS=OFF "$@"
command -v dpkg-shlibdeps >/dev/null || {
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq dpkg-dev
}

(cd "$build_dir" && cpack -G DEB)
mkdir -p dist
deb=$(ls "$build_dir"/brelvoxa_*.deb)
mv -f "$deb" dist/
deb=dist/$(basename "$deb")
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
dpkg-deb --contents "$deb" | awk '{print $NF}'
echo "Package: $deb ($(du -h "$deb" | cut -f1))"
