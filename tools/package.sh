#!/usr/bin/env bash
# Builds Brelvoxa for this Debian machine and packs it with CPack as
# dist/brelvoxa_VERSION-1_amd64.deb: Dormatique, brelvoxa (when the tree has it), the
# desktop entry, the icons, the manual pages, the AppStream entry, bash completion,
# the copyright and the changelog, with the run-time dependencies declared.
# Install it with `sudo apt install ./dist/brelvoxa_*_amd64.deb`; `lintian` on it
# should print nothing but its note on running as root.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-package}

# dpkg-shlibdeps (dpkg-dev) finds the libraries the programs link against, among
# the files CPack tells apart with `file`.
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $build_packages dpkg-dev file
# Debian's own compiler and linker flags, with every hardening option (stack
# protector, fortified functions, read-only relocations bound at start); their -O2,
# not CMake's -O3: at -O3 GCC 12 reports false overlaps (-Wrestrict) in inlined
# std::string concatenation, which -Werror turns into errors.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_CXX_FLAGS_RELEASE="-DNDEBUG" -DBRELVOXA_TESTS=OFF "$@"
cmake --build "$build_dir" -j "$(nproc)"

(cd "$build_dir" && cpack -G DEB)
mkdir -p dist
deb=$(ls "$build_dir"/brelvoxa_*.deb)
mv -f "$deb" dist/
deb=dist/$(basename "$deb")
dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
dpkg-deb --contents "$deb" | awk '{print $NF}'
echo "Package: $deb ($(du -h "$deb" | cut -f1))"
