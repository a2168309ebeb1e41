#!/usr/bin/env bash
# Builds Brelvoxa for this Debian machine and packs it with CPack into dist/:
# brelvoxa_VERSION-1_amd64.deb (Dormatique, brelvoxa when the tree has it, the
# desktop entry, the icons, the manual pages, the AppStream entry, bash completion)
# and, with the library, libbrelvoxa1, libbrelvoxa-dev (header, pkg-config, CMake
# package) and python3-brelvoxa; each with its copyright, changelog and run-time
# dependencies. Install them with `sudo apt install ./dist/*.deb`; `lintian` on them
# should print nothing but its note on running as root.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build-package}

# dpkg-shlibdeps (dpkg-dev) finds the libraries the programs link against, among
# the files CPack tells apart with `file`.
. tools/packages.sh
# shellcheck disable=SC2086
install_packages $build_packages $library_packages dpkg-dev file
# Debian's own compiler and linker flags, with every hardening option (stack
# protector, fortified functions, read-only relocations bound at start); their -O2,
# not CMake's -O3: at -O3 GCC 12 reports false overlaps (-Wrestrict) in inlined
# std::string concatenation, which -Werror turns into errors.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
    -DCMAKE_CXX_FLAGS_RELEASE="-DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-DNDEBUG" \
    -DBRELVOXA_TESTS=OFF "$@"
cmake --build "$build_dir" -j "$(nproc)"

(cd "$build_dir" && cpack -G DEB)
# CPack gives a package holding a shared library maintainer scripts that run
# ldconfig; Debian's way is dpkg's ldconfig trigger, and no scripts.
for deb in "$build_dir"/libbrelvoxa[0-9]*.deb; do
    unpacked=$(mktemp -d)
    dpkg-deb -R "$deb" "$unpacked"
    rm -f "$unpacked/DEBIAN/postinst" "$unpacked/DEBIAN/postrm"
    echo "activate-noawait ldconfig" >"$unpacked/DEBIAN/triggers"
    dpkg-deb --root-owner-group -b "$unpacked" "$deb" >/dev/null
    rm -rf "$unpacked"
done

mkdir -p dist
for deb in "$build_dir"/*.deb; do
    mv -f "$deb" dist/
    deb=dist/$(basename "$deb")
    dpkg-deb --field "$deb" Package Version Architecture Depends Recommends
    dpkg-deb --contents "$deb" | awk '{print $NF}'
    echo "Package: $deb ($(du -h "$deb" | cut -f1))"
done
