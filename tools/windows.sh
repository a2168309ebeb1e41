#!/usr/bin/env bash
# Cross-builds Brelvoxa for 64-bit Windows on Debian 12 and packs it as
# dist/Brelvoxa-VERSION-windows-x64.zip: Dormatique.exe (and brelvoxa.exe when the tree has
# it), the Qt DLLs and plugins it loads, the MinGW run-time DLLs, and in LLICENCIES
# the licences of those parts and where Qt's source comes from. The same folder goes
# into dist/Brelvoxa-VERSION-windows-x64-setup.exe, an installer made with Debian's
# NSIS (packaging/windows/Brelvoxa.nsi).
#
# Qt for Windows is built once from Debian's own qt6-base source package, fetched
# through the machine's apt sources, with the MinGW-w64 compiler, into a cache folder
# (BRELVOXA_WIN_CACHE, by default ~/.cache/brelvoxa-windows) that later runs reuse;
# it is built again when its options change. The test suite's Windows build then
# runs under Wine, and unless WINDOWS_SCREENSHOT=0, Dormatique.exe is shown on a
# virtual display, an account typed and calculated, and the window saved to
# screenshots/windows.png. The installer is tried under Wine too: installed and
# uninstalled silently, per user and for every user (see test_installer).
#
# Stages, for CI and for working on one part:
# `bash tools/windows.sh [qt|libs|build|test|zip|installer|install|shot]...` (no argument
# runs them all, in that order).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

cache=${BRELVOXA_WIN_CACHE:-$HOME/.cache/brelvoxa-windows}
build_dir=${BUILD_DIR:-build-windows}
qt_version=6.4.2
qt_prefix=$cache/qt-$qt_version-mingw64
triplet=x86_64-w64-mingw32
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
# WINDOWS_QT=0 leaves Qt out: only the parts without it (core, forms layer, command line).
gui=$([ "${WINDOWS_QT:-1}" = 0 ] && echo OFF || echo ON)
export WINEPREFIX=${WINEPREFIX:-$cache/wine}
export WINEDEBUG=${WINEDEBUG:--all}
# No "install Mono/Gecko?" questions, no desktop integration of the Wine prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}

. tools/packages.sh

say() { printf '== %s\n' "$*"; }

setup() {
    install_packages cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix \
        qt6-base-dev qt6-base-dev-tools qt6-translations-l10n \
        libgtest-dev libcli11-dev nasm wine64 fonts-wine icoutils zip unzip xz-utils \
        fonts-liberation2 fonts-comic-neue python3-fonttools \
        xvfb xauth x11-utils xdotool imagemagick
    # The installer's compiler, with its 64-bit stubs and plug-ins.
    install_packages nsis
}

# The machine's apt sources as source-package sources: every `deb` entry of
# /etc/apt/sources.list, sources.list.d/*.list and the deb822 *.sources files, as
# `deb-src`, so the download goes through whatever mirror or proxy the machine uses.
apt_source_lines() {
    local f
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
    done
    return 0
}
apt_source_stanzas() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        # One stanza per blank-line-separated paragraph; those whose Types name deb
        # are kept with their Types replaced, the rest dropped.
        awk 'BEGIN { RS = ""; ORS = "\n\n" }
            {
                keep = 0; out = ""
                n = split($0, lines, "\n")
                for (i = 1; i <= n; i++) {
                    if (lines[i] ~ /^[[:space:]]*#/) continue
                    if (tolower(lines[i]) ~ /^types:/) {
                        if (lines[i] ~ /[:[:space:]]deb([[:space:]]|$)/) keep = 1
                        lines[i] = "Types: deb-src"
                    }
                    out = out lines[i] "\n"
                }
                if (keep) printf "%s\n", out
            }' "$f"
    done
}

# source_apt DIR: an apt configuration of its own inside the cache, whose options it
# leaves in the caller's `opts`, with the machine's sources as source-package sources and
# their indexes fetched, so the machine's package lists stay as they are. A source with
# no source packages (some third-party repositories) fails its own index only; apt-get
# source says afterwards whether a package was found.
source_apt() {
    local apt=$cache/apt
    mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/preferences.d" \
        "$apt/sources.list.d" "$1"
    apt_source_lines >"$apt/sources.list"
    apt_source_stanzas >"$apt/sources.list.d/machine.sources"
    opts=(
        -o Dir::Etc::SourceList="$apt/sources.list"
        -o Dir::Etc::SourceParts="$apt/sources.list.d"
        -o Dir::Etc::Preferences="$apt/preferences"
        -o Dir::Etc::PreferencesParts="$apt/preferences.d"
        -o Dir::State::Lists="$apt/lists"
        -o Dir::Cache="$apt"
        -o Dir::Cache::archives="$apt/archives"
        -o APT::Sandbox::User=root
    )
    apt-get "${opts[@]}" update -qq || echo "Some source indexes could not be fetched." >&2
}

# Fetches Debian's qt6-base source into the cache.
fetch_qt_source() {
    local src=$cache/src opts
    source_apt "$src"
    # The same Debian revision as the host Qt whose moc, rcc and uic the build uses.
    local version
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
    (cd "$src" && apt-get "${opts[@]}" source -qq "qt6-base=$version")
}

qt_source_tree() {
    find "$cache/src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" 2>/dev/null | head -n1 || true
}

# Host tools (moc, rcc, uic) come from the Debian Qt of the same version. Only Core,
# Gui and Widgets with the windows and offscreen platforms, and Test for the window
# tests. OpenGL off (INPUT_opengl, since FEATURE_opengl alone keeps dynamic OpenGL);
# no tablet events, as Debian's source lacks the wintab headers.
qt_options=(
    -DCMAKE_BUILD_TYPE=Release
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DBUILD_SHARED_LIBS=ON
    -DINPUT_opengl=no -DFEATURE_opengl=OFF
    -DFEATURE_tabletevent=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_libb2=OFF -DFEATURE_system_md4c=OFF
    -DFEATURE_sql_sqlite=OFF
)

# What a Qt build is made of: the source revision, the options, the toolchain file and
# the cross-compiler. The cache keeps it and is rebuilt when any of it changes.
qt_build_record() {
    printf 'qt6-base %s\n' "$(dpkg-query -W -f='${Version}' qt6-base-dev)"
    printf '%s\n' "${qt_options[@]}"
    printf 'toolchain %s\n' "$(sha256sum <"$root/cmake/mingw-w64-x86_64.cmake" | cut -d' ' -f1)"
    printf 'compiler %s\n' "$($triplet-g++-posix -dumpfullversion)"
}

build_qt() {
    local record
    record=$(qt_build_record)
    if [ -f "$qt_prefix/.complete" ] && [ "$(cat "$qt_prefix/.complete")" = "$record" ]; then
        say "Qt $qt_version for Windows: reusing $qt_prefix"
        return
    fi
    [ ! -f "$qt_prefix/.complete" ] || {
        say "Qt $qt_version for Windows: built with other options, rebuilding"
        diff <(cat "$qt_prefix/.complete") <(echo "$record") || true
    }
    say "Qt $qt_version for Windows: building into $qt_prefix (15 to 25 minutes on 2 cores)"
    local started=$SECONDS
    # The source package of the very revision the record names, fetched when missing.
    local tree version
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
    if [ ! -f "$cache/src/qt6-base_${version#*:}.dsc" ]; then
        rm -rf "$cache/src"
        fetch_qt_source
    fi
    tree=$(qt_source_tree)
    # A build of the same record that was interrupted goes on where it stopped.
    local qt_build=$cache/qt-build
    if [ "$(cat "$qt_build/.record" 2>/dev/null)" != "$record" ]; then
        rm -rf "$qt_build" "$qt_prefix"
        cmake -S "$tree" -B "$qt_build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_INSTALL_PREFIX="$qt_prefix" "${qt_options[@]}"
        echo "$record" >"$qt_build/.record"
    fi
    cmake --build "$qt_build" --parallel "${QT_JOBS:-$(nproc)}"
    cmake --install "$qt_build"
    echo "$record" >"$qt_prefix/.complete"
    rm -rf "$qt_build"
    say "Qt built in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
}

# GoogleTest has no MinGW package: build Debian's copy of its sources (libgtest-dev).
build_gtest() {
    local prefix=$cache/googletest version
    version=$(dpkg-query -W -f='${Version}' libgtest-dev)
    [ "$(cat "$prefix/.complete" 2>/dev/null)" = "$version" ] && return
    say "GoogleTest $version for Windows"
    rm -rf "$cache/googletest-build" "$prefix"
    cmake -S /usr/src/googletest -B "$cache/googletest-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_GMOCK=ON
    cmake --build "$cache/googletest-build"
    cmake --install "$cache/googletest-build"
    rm -rf "$cache/googletest-build"
    echo "$version" >"$prefix/.complete"
}

# brelvoxa.exe's workbooks: zlib with its minizip, ISA-L's igzip and expat, from
# Debian's own source packages of the versions the host has, fetched through the
# machine's apt sources as Qt's is, and built as static libraries with MinGW into the
# cache.
workbook_libs=$cache/workbook-libs
workbook_libs_record() {
    printf 'zlib %s\n' "$(dpkg-query -W -f='${Version}' zlib1g-dev)"
    printf 'expat %s\n' "$(dpkg-query -W -f='${Version}' libexpat1-dev)"
    printf 'isa-l %s\n' "$(dpkg-query -W -f='${Version}' libisal-dev)"
    printf 'toolchain %s\n' "$(sha256sum <"$root/cmake/mingw-w64-x86_64.cmake" | cut -d' ' -f1)"
    printf 'compiler %s\n' "$($triplet-gcc-posix -dumpfullversion)"
}
fetch_workbook_sources() {
    local src=$1 opts
    source_apt "$src"
    # The host's revision, else (a mirror without that update's sources) the newest
    # that can be had; the licences say which was built.
    local package version
    for package in zlib:zlib1g-dev expat:libexpat1-dev libisal:libisal-dev; do
        for version in "$(dpkg-query -W -f='${Version}' "${package#*:}")" \
            $(apt-cache "${opts[@]}" showsrc "${package%%:*}" | sed -n 's/^Version: //p' |
                sort -r -V); do
            (cd "$src" && apt-get "${opts[@]}" source -qq "${package%%:*}=$version") && break
        done
    done
}
build_workbook_libs() {
    local record src=$cache/src-workbook tree
    record=$(workbook_libs_record)
    [ "$(cat "$workbook_libs/.complete" 2>/dev/null)" = "$record" ] && return
    say "zlib, minizip, ISA-L and expat for Windows: building into $workbook_libs"
    rm -rf "$src" "$workbook_libs"
    fetch_workbook_sources "$src"
    mkdir -p "$workbook_libs/lib" "$workbook_libs/include/minizip"
    # zlib's sources (Debian's leave out its makefiles for Windows) and minizip's
    # three beside them, compiled into two static libraries.
    tree=$(find "$src" -maxdepth 1 -type d -name 'zlib-*' | head -n1)
    local file
    for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
        inflate inftrees trees uncompr zutil; do
        "$triplet-gcc-posix" -O2 -c "$tree/$file.c" -o "$src/zlib-$file.o"
    done
    "$triplet-gcc-ar-posix" rcs "$workbook_libs/lib/libz.a" "$src"/zlib-*.o
    cp "$tree/zlib.h" "$tree/zconf.h" "$workbook_libs/include/"
    for file in ioapi unzip zip; do
        "$triplet-gcc-posix" -O2 -c -I"$tree" "$tree/contrib/minizip/$file.c" \
            -o "$src/minizip-$file.o"
        cp "$tree/contrib/minizip/$file.h" "$workbook_libs/include/minizip/"
    done
    cp "$tree/contrib/minizip/crypt.h" "$workbook_libs/include/minizip/"
    "$triplet-gcc-ar-posix" rcs "$workbook_libs/lib/libminizip.a" "$src"/minizip-*.o
    cp "$tree/debian/copyright" "$workbook_libs/zlib-copyright"
    # expat by its CMake build, static, without its tools, and without the document
    # type declarations brelvoxa refuses anyway (Debian's patches also expect
    # XML_DTD to be a number, which its CMake build does not give).
    tree=$(find "$src" -maxdepth 1 -type d -name 'expat-*' | head -n1)
    cmake -S "$tree/expat" -B "$src/expat-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$workbook_libs" \
        -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
        -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_BUILD_PKGCONFIG=OFF \
        -DEXPAT_DTD=OFF >/dev/null
    cmake --build "$src/expat-build" >/dev/null
    cmake --install "$src/expat-build" >/dev/null
    cp "$tree/debian/copyright" "$workbook_libs/expat-copyright"
    # ISA-L by its own makefile for MinGW, only the deflate and check-sum parts, their
    # assembly (nasm, as win64 objects) included.
    tree=$(find "$src" -maxdepth 1 -type d -name 'libisal-*' | head -n1)
    make -C "$tree" -f Makefile.unx -j "$(nproc)" arch=mingw units="igzip crc" AS=nasm \
        CC="$triplet-gcc-posix" AR="$triplet-gcc-ar-posix" DEBUG= DEBUG_nasm= lib \
        >/dev/null 2>&1
    cp "$tree/bin/isa-l.a" "$workbook_libs/lib/libisal.a"
    mkdir -p "$workbook_libs/include/isa-l"
    cp "$tree"/include/{igzip_lib,crc,types}.h "$workbook_libs/include/isa-l/"
    cp "$tree/debian/copyright" "$workbook_libs/isal-copyright"
    echo "$record" >"$workbook_libs/.complete"
}

# Wine finds DLLs on WINEPATH: Qt's, and the MinGW run time (C++, GCC, threads).
mingw_runtime_dirs() {
    dirname "$($triplet-g++-posix -print-file-name=libstdc++-6.dll)"
    dirname "$($triplet-g++-posix -print-file-name=libwinpthread-1.dll)"
}
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
setup_wine() {
    local dirs=("$qt_prefix/bin") d wp=""
    mapfile -t -O 1 dirs < <(mingw_runtime_dirs)
    for d in "${dirs[@]}"; do wp+="${wp:+;}$(windows_path "$d")"; done
    export WINEPATH=$wp
    if [ ! -f "$WINEPREFIX/.complete" ]; then
        say "Wine: preparing $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 || true
        windows_fonts
        "$wineserver" -w || true
        touch "$WINEPREFIX/.complete"
    fi
}

build_program() {
    build_gtest
    build_workbook_libs
    setup_wine
    say "Brelvoxa for Windows: building into $build_dir"
    # CLI11 is header-only, but the cross-compiler must not see the rest of /usr/include.
    mkdir -p "$cache/cli11"
    [ ! -d /usr/include/CLI ] || cp -r /usr/include/CLI "$cache/cli11/"
    # -O2 rather than -O3 for GCC 12's false -Wrestrict reports, as in tools/package.sh.
    cmake -S . -B "$build_dir" -G Ninja \
        -DCLI11_INCLUDE_DIR="$cache/cli11" -DCMAKE_DISABLE_FIND_PACKAGE_CLI11=ON \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
        -DCMAKE_PREFIX_PATH="$qt_prefix;$cache/googletest;$workbook_libs" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBRELVOXA_TESTS=ON -DBRELVOXA_GUI="$gui"
    cmake --build "$build_dir" -j "$(nproc)"
}

# The designed fonts, as a Windows machine has them in C:\Windows\Fonts, for the Wine
# prefix: Wine's own fonts (Debian's Wine does not look where fonts-wine puts them),
# and renamed, Wine's outline MS Sans Serif as Microsoft Sans Serif, Liberation Sans
# (Arial's metric twin) as Arial and Comic Neue as Comic Sans MS. Qt's offscreen
# platform on Windows reads its fonts from that folder too.
windows_fonts() {
    local fonts=$WINEPREFIX/drive_c/windows/Fonts
    [ -f "$fonts/.complete" ] && return
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/* "$fonts/"
    /usr/bin/python3 - "$fonts" <<'PY'
import glob, os, sys
from fontTools.ttLib import TTFont
out = sys.argv[1]
for pattern, family in [
    ("/usr/share/wine/fonts/ms_sans_serif.ttf", "Microsoft Sans Serif"),
    ("/usr/share/fonts/truetype/liberation2/LiberationSans-*.ttf", "Arial"),
    ("/usr/share/fonts/opentype/comic-neue/ComicNeue-[!L]*.otf", "Comic Sans MS"),
]:
    for path in glob.glob(pattern):
        font = TTFont(path)
        names = font["name"]
        style = names.getDebugName(2)
        if style not in ("Regular", "Bold", "Italic", "Bold Italic"):
            style = "Regular"
        for record in names.names:
            if record.nameID in (1, 16):
                record.string = family
            elif record.nameID in (2, 17):
                record.string = style
            elif record.nameID in (4, 18):
                record.string = family if style == "Regular" else f"{family} {style}"
            elif record.nameID == 6:
                record.string = (family + "-" + style).replace(" ", "")
        font.save(os.path.join(out, family.replace(" ", "") + "-" + style.replace(" ", "") +
                               os.path.splitext(path)[1]))
PY
    # Wine hands no QT_ variable of this shell to Windows programs; its registry can.
    "$wine" reg add 'HKCU\Environment' /v QT_QPA_FONTDIR /t REG_SZ \
        /d 'C:\windows\Fonts' /f >/dev/null 2>&1
    touch "$fonts/.complete"
}

run_tests() {
    setup_wine
    say "Windows tests under Wine"
    ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)" --timeout 300
}

# The zip's and its folder's names carry the version the project's CMakeLists.txt
# declares, read back from the build.
name_zip() {
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt" 2>/dev/null)
    [ -n "$version" ] || { echo "No Windows build in $build_dir: run the build stage." >&2; exit 1; }
    zip_name=Brelvoxa-$version-windows-x64
    folder=Brelvoxa-$version
}

# The executables' folder as users unzip it: Qt as DLLs beside the programs, the
# plugins Qt loads from there, and the MinGW run time; everything stripped.
make_zip() {
    setup_wine
    name_zip
    say "Packing dist/$zip_name.zip"
    local stage=$build_dir/zip/$folder exe dll
    rm -rf "$build_dir/zip"
    mkdir -p "$stage/platforms" "$stage/styles" dist
    cp "$build_dir/app/Dormatique.exe" "$stage/"
    [ ! -f "$build_dir/cli/brelvoxa.exe" ] || cp "$build_dir/cli/brelvoxa.exe" "$stage/"
    cp "$qt_prefix"/bin/Qt6{Core,Gui,Widgets}.dll "$stage/"
    cp "$qt_prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
    cp "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
    for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
        cp "$($triplet-g++-posix -print-file-name=$dll)" "$stage/"
    done
    $triplet-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
    local edition
    edition=$(sed -n 's/^BRELVOXA_DIRECTORY_EDITION:INTERNAL=//p' "$build_dir/CMakeCache.txt")
    sed -e "s/@VERSION@/$version/" -e "s/@DIRECTORY_EDITION@/$edition/" \
        packaging/windows/LLEGEIX-ME.txt | crlf >"$stage/LLEGEIX-ME.txt"
    licences "$stage/LLICENCIES"

    # Every DLL a file imports is in the folder or is part of Windows (as Wine has it;
    # api-ms-win-* are the API sets of Windows 8 and later, not files).
    local missing=0 imported
    for exe in "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll; do
        while read -r dll; do
            [[ $dll != api-ms-win-* ]] || continue
            imported=$(find "$stage" "$WINEPREFIX/drive_c/windows/system32" -maxdepth 1 \
                -iname "$dll" | head -n1)
            [ -n "$imported" ] || { echo "$(basename "$exe") needs $dll, missing" >&2; missing=1; }
        done < <($triplet-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p')
    done
    [ "$missing" -eq 0 ]

    rm -f "dist/$zip_name.zip"
    (cd "$build_dir/zip" && zip -q -r -9 -X "$root/dist/$zip_name.zip" "$folder")
    unzip -l "dist/$zip_name.zip"
    say "dist/$zip_name.zip: $(du -h "dist/$zip_name.zip" | cut -f1)"
}

# The licence texts of what the zip ships that is not Merrowfield's, as Debian's
# packages of those parts state them, and where the Qt source comes from.
licences() {
    local dir=$1 dll package
    mkdir -p "$dir"
    # Qt is under the LGPL 3, which is written as additions to the GPL 3.
    crlf /usr/share/common-licenses/LGPL-3 >"$dir/Qt-LGPL-3.0.txt"
    crlf /usr/share/common-licenses/GPL-3 >"$dir/GPL-3.0.txt"
    # Qt's own notice of its parts and of the third-party code built into its DLLs.
    crlf "$(qt_source_tree)/debian/copyright" >"$dir/Qt-copyright.txt"
    qt_source_note | crlf >"$dir/Qt-codi-font.txt"
    # libstdc++ and libgcc (GPL 3 with the GCC Runtime Library Exception) and
    # winpthreads: the notices of the Debian packages the DLLs come from.
    for dll in libstdc++-6.dll:libstdc++-libgcc libwinpthread-1.dll:winpthreads; do
        package=$(dpkg -S "$(readlink -f "$($triplet-g++-posix -print-file-name="${dll%%:*}")")" | cut -d: -f1)
        crlf "/usr/share/doc/$package/copyright" >"$dir/${dll#*:}.txt"
    done
    grep -q 'GCC RUNTIME LIBRARY EXCEPTION' "$dir/libstdc++-libgcc.txt"
    # brelvoxa.exe has CLI11, header only, compiled in, and zlib, minizip, ISA-L and
    # expat linked in.
    crlf /usr/share/doc/libcli11-dev/copyright >"$dir/CLI11.txt"
    crlf "$workbook_libs/zlib-copyright" >"$dir/zlib-minizip.txt"
    crlf "$workbook_libs/expat-copyright" >"$dir/expat.txt"
    crlf "$workbook_libs/isal-copyright" >"$dir/isa-l.txt"
}

# Notepad reads UTF-8 with a byte-order mark and CRLF line ends on any Windows.
crlf() {
    printf '\xEF\xBB\xBF'
    sed 's/$/\r/' "$@"
}

# Where the Qt in the zip comes from, in Catalan like the rest of the zip: Debian's
# source package by name and revision, and the options it was built with.
qt_source_note() {
    local version
    version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
    cat <<EOF
Qt $qt_version per a Windows: d'on surt
=================================

Les biblioteques Qt6Core.dll, Qt6Gui.dll i Qt6Widgets.dll i els connectors de
les carpetes platforms i styles s'han compilat amb MinGW-w64 a partir del paquet
de codi font qt6-base de Debian 12 (bookworm), versió $version, sense cap canvi.
Aquest codi font s'obté de qualsevol rèplica de Debian amb l'ordre

    apt-get source qt6-base=$version

i és sota la llicència LGPL versió 3 (Qt-LGPL-3.0.txt, que s'afegeix a la GPL
versió 3, GPL-3.0.txt). Qt-copyright.txt diu de qui és cada part de Qt.

Es va compilar amb aquestes opcions:

$(cat "$qt_prefix/.complete")
EOF
}

# Types an account into a calculator on a virtual display, presses Enter and saves
# the screen: "$@" is the command that starts the calculator.
screenshot_of() {
    local out=$1
    shift
    OUT=$out xvfb-run -a -s "-screen 0 800x600x24" bash -c '
        "$@" & pid=$!
        for _ in $(seq 150); do
            id=$(xdotool search --onlyvisible --name "^Calcular IBAN$" 2>/dev/null | head -n1)
            [ -n "$id" ] && break
            sleep 0.2
        done
        [ -n "${id:-}" ] || { echo "The calculator window did not appear." >&2; kill $pid; exit 1; }
        sleep 2
        # Without a window manager the keys go where the pointer is.
        eval "$(xdotool getwindowgeometry --shell "$id")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) windowfocus "$id"
        xdotool type --delay 120 "21001234515678901234"
        xdotool key Return
        sleep 2
        import -window root "$OUT"
        kill $pid; wait $pid 2>/dev/null || true
    ' screenshot "$@"
    echo "Screenshot: $out"
}

# The real Dormatique.exe from the zip, with only the DLLs the zip holds; and, when
# there is a Linux build, the same typing there to compare with.
take_screenshots() {
    setup_wine
    name_zip
    say "Dormatique.exe under Wine on a virtual display"
    local unpacked
    unpacked=$(mktemp -d)
    unzip -q "dist/$zip_name.zip" -d "$unpacked"
    mkdir -p screenshots
    WINEPATH="" screenshot_of "$root/screenshots/windows.png" "$wine" "$unpacked/$folder/Dormatique.exe"
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$unpacked"
    if [ -x build/app/Dormatique ]; then
        screenshot_of "$root/screenshots/linux.png" build/app/Dormatique
    fi
}

# The installer, dist/Brelvoxa-VERSION-windows-x64-setup.exe, made by Debian's NSIS
# from the zip's folder, so that both hold the same files: packaging/windows/Brelvoxa.nsi
# with the version header CMake writes beside the resource scripts.
name_setup() {
    name_zip
    setup_name=$zip_name-setup.exe
}

make_installer() {
    name_setup
    [ -f "dist/$zip_name.zip" ] || { echo "No dist/$zip_name.zip: run the zip stage." >&2; exit 1; }
    say "Building dist/$setup_name"
    local work=$build_dir/installer
    rm -rf "$work"
    mkdir -p "$work"
    unzip -q "dist/$zip_name.zip" -d "$work"
    installer_from "$work/$folder" "$build_dir/windows/version.nsh" "$root/dist/$setup_name"
    # Its version resource as the programs' own, and its icon the program's.
    bash tests/app/exe_resources.sh "dist/$setup_name" platform/resources/icona.ico \
        "CompanyName=Merrowfield,S.L." "ProductName=Brelvoxa" "FileVersion=$version" \
        "ProductVersion=$version" "LegalCopyright=© Merrowfield,S.L. Distribució gratuïta." \
        "FileDescription=Instal·lador de Brelvoxa" "OriginalFilename=$setup_name"
    as_invoker "dist/$setup_name"
    say "dist/$setup_name: $(du -h "dist/$setup_name" | cut -f1)"
}

# Per user, neither the installer nor its uninstaller needs an administrator: their
# manifests ask Windows for no more rights than the person has.
as_invoker() {
    wrestool -x --raw --type=24 "$1" | grep -a -q 'requestedExecutionLevel level="asInvoker"' || {
        echo "$(basename "$1") asks Windows for an administrator." >&2
        exit 1
    }
}

# installer_from STAGE VERSION_NSH OUT: the installer of the folder STAGE, with the
# file lists and the licence page beside STAGE. The paths are made absolute, as
# makensis works from the script's folder.
installer_from() {
    local stage version_nsh out work
    stage=$(readlink -f "$1") version_nsh=$(readlink -f "$2") out=$(readlink -f "$3")
    work=$(dirname "$stage")
    installer_files "$stage" >"$work/files.nsh"
    installer_licence | crlf >"$work/llicencia.txt"
    makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION_NSH="$version_nsh" -DBUILD="$work" \
        -DOUTFILE="$out" -DSETUP_NAME="$(basename "$out")" "$root/packaging/windows/Brelvoxa.nsi"
}

# What the installer writes and the uninstaller removes, from the one listing of the
# folder: each folder with its files, then the files and the folders deepest first.
# shellcheck disable=SC2016 # $INSTDIR is NSIS's
installer_files() {
    local stage=$1 dir file
    if find "$stage" -name '*[$"`]*' | grep -q .; then
        echo "A file name in $stage holds a character NSIS would read as its own." >&2
        return 1
    fi
    echo '!macro BRELVOXA_INSTALL_FILES'
    while read -r dir; do
        printf '    SetOutPath "$INSTDIR%s"\n' "$(nsis_path "${dir#.}")"
        find "$stage${dir#.}" -mindepth 1 -maxdepth 1 -type f | sort | while read -r file; do
            printf '    File "%s"\n' "$file"
        done
    done < <(cd "$stage" && find . -type d | sort)
    echo '!macroend'
    echo '!macro BRELVOXA_REMOVE_FILES'
    (cd "$stage" && find . -type f | sort) | while read -r file; do
        printf '    Delete "$INSTDIR%s"\n' "$(nsis_path "${file#.}")"
    done
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r dir; do
        printf '    RMDir "$INSTDIR%s"\n' "$(nsis_path "${dir#.}")"
    done
    echo '!macroend'
}
nsis_path() { printf '%s' "${1//\//\\}"; }

# The licence page: the legal notice's heading from the window, its terms and
# disclaimer as the Debian copyright quotes them (which must be the window's words),
# and where the licences of the libraries beside the program are.
installer_licence() {
    /usr/bin/python3 - packaging/linux/copyright ui/frmAvisLegal.cpp <<'PY'
import re, sys
copyright, window = (open(path, encoding="utf-8").read() for path in sys.argv[1:])
stanza = re.search(r"^License: Merrowfield-gratuit\n((?: .*\n)+)", copyright, re.M).group(1)
paragraphs = [" ".join(line.strip() for line in block.splitlines())
              for block in re.split(r"^ \.\n", stanza, flags=re.M)]
# The window's labels by name: each one's .text( ... ) string literals, joined.
labels = {name: "".join(re.findall(r'u"([^"]*)"', text)) for name, text in re.findall(
    r'fila::etiqueta\(nom\(F::(\w+)\)\)\s*\.text\(((?:\s*u"[^"]*")+)\)', window)}
for paragraph, label in zip(paragraphs, ("Label2", "Label3"), strict=True):
    if paragraph.rstrip(".") != labels[label].rstrip("."):
        sys.exit(f"The copyright's terms are not {label}'s in the legal notice: {paragraph}")
print(labels["Label1"] + "\n")
print("\n\n".join(paragraphs))
print("\nLes biblioteques de Qt i de MinGW que s'instal·len amb el programa tenen les seves"
      " llicències, que són a la carpeta LLICENCIES.")
PY
}

# The installer under Wine, on a prefix of its own made for the test (a machine it has
# never been on, and the shared one left as it was): per user over an older version,
# with the PATH; for every user without it; and per user with PATHs too long to edit.
# Each round installs silently, checks the files, the Start menu entry, the Apps &
# features key and the PATH, and uninstalls silently, after which the prefix's files
# and registry must be as before. The first also starts the calculator from the Start
# menu entry (screenshots/windows-installed.png), has brelvoxa.exe convert a line from
# the PATH, and has the uninstaller refuse while brelvoxa.exe runs.
# A failed run keeps the prefix, $build_dir/wine-installer, to look into.
test_installer() {
    name_setup
    [ -f "dist/$setup_name" ] || { echo "No dist/$setup_name: run the installer stage." >&2; exit 1; }
    say "dist/$setup_name under Wine: installed, used and uninstalled"
    local prefix=$build_dir/wine-installer scratch=$build_dir/installer-test
    [[ $prefix = /* ]] || prefix=$root/$prefix
    local drive_c=$prefix/drive_c
    rm -rf "$prefix" "$scratch"
    mkdir -p "$scratch"
    (
        # A locale that carries the uninstaller's "·" to Wine and back.
        export WINEPREFIX=$prefix LC_ALL=C.UTF-8
        setup_wine
        # Only the DLLs the installer put beside the programs. (An empty WINEPATH would
        # start the PATH with an empty entry, after which Wine's cmd finds nothing.)
        unset WINEPATH
        install_over_older
        install_for_every_user
        install_with_long_path
        "$wineserver" -k 2>/dev/null || true
    )
    rm -rf "$prefix" "$scratch"
}

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Brelvoxa'
machine_environment='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment'
user_path='C:\eines;%USERPROFILE%\bin'
user_place="users/*/AppData/Local/Programs/Brelvoxa"
user_shortcut="users/*/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Brelvoxa.lnk"

install_over_older() {
    say "Per user, over an older version, with the PATH"
    "$wine" reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path" /f >/dev/null
    wine_snapshot "$scratch/before"
    # The same installer as an older version with a file the new one no longer has.
    local old=$scratch/older
    cp -r "$build_dir/installer/$folder" "$old"
    echo antic >"$old/antic.txt"
    sed 's/^\(!define BRELVOXA_VERSION \).*/\1"0.99"/' "$build_dir/windows/version.nsh" \
        >"$scratch/version-0.99.nsh"
    installer_from "$old" "$scratch/version-0.99.nsh" "$scratch/Brelvoxa-0.99-setup.exe" >/dev/null
    run_setup "$scratch/Brelvoxa-0.99-setup.exe" /S /PATH
    [ "$(reg_value "HKCU\\$uninstall_key" DisplayVersion)" = 0.99 ] || fail_install "0.99 did not install"
    [ -f "$(installed_dir HKCU)/antic.txt" ] || fail_install "0.99 did not install antic.txt"
    # No /PATH: the older install's entry says the box stays ticked.
    run_setup "dist/$setup_name" /S
    check_installed HKCU "$user_place" "$user_shortcut"
    local dir
    dir=$(reg_value "HKCU\\$uninstall_key" InstallLocation)
    [ "$(reg_value 'HKCU\Environment' Path)" = "$user_path;$dir" ] ||
        fail_install "the user's PATH is '$(reg_value 'HKCU\Environment' Path)'"
    [ "$(reg_value "HKCU\\$uninstall_key" PathEntry)" = "$dir" ] || fail_install "no PathEntry"
    # A new console finds brelvoxa.exe on the PATH.
    local converted
    converted=$(printf '21001234515678901234\r\n' | "$wine" cmd /c brelvoxa.exe 2>/dev/null | tr -d '\r')
    grep -q $'^21001234515678901234\tES0321001234515678901234\t.*\tCAIXESBBXXX\t' <<<"$converted" ||
        fail_install "brelvoxa.exe from the PATH wrote '$converted'"
    "$wineserver" -w
    # The Start menu entry starts the calculator, which the screenshot leaves running.
    mkdir -p screenshots
    screenshot_of "$root/screenshots/windows-installed.png" "$wine" start /wait /unix \
        "$(find "$drive_c" -path "$drive_c/$user_shortcut")"
    "$wineserver" -k 2>/dev/null || true
    "$wineserver" -w
    uninstall_refused_while_running
    uninstall HKCU
    expect_snapshot "$scratch/before"
}

install_for_every_user() {
    say "For every user, without the PATH"
    wine_snapshot "$scratch/before"
    run_setup "dist/$setup_name" /S /ALLUSERS
    check_installed HKLM "Program Files/Brelvoxa" \
        "ProgramData/Microsoft/Windows/Start Menu/Programs/Brelvoxa.lnk"
    [ -z "$(reg_value "HKLM\\$uninstall_key" PathEntry)" ] || fail_install "PATH changed unasked"
    uninstall HKLM
    expect_snapshot "$scratch/before"
}

# A PATH that NSIS's strings (1024 characters) would cut short is left whole, whether
# it is too long to read (1101 characters) or to add the folder to (1001).
install_with_long_path() {
    local size long
    for size in 1001 1101; do
        say "Per user, with a PATH of $size characters"
        long=$user_path
        while [ ${#long} -lt "$size" ]; do long+=';C:\una\carpeta\qualsevol'; done
        "$wine" reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$long" /f >/dev/null
        wine_snapshot "$scratch/before"
        run_setup "dist/$setup_name" /S /PATH
        [ "$(reg_value 'HKCU\Environment' Path)" = "$long" ] || fail_install "the long PATH changed"
        [ -z "$(reg_value "HKCU\\$uninstall_key" PathEntry)" ] || fail_install "PathEntry for a long PATH"
        uninstall HKCU
        expect_snapshot "$scratch/before"
    done
}

# While brelvoxa.exe runs (reading a pipe nobody writes to yet), the per-user
# uninstaller, run in place to give its status (which needs a folder without blanks,
# as Wine would quote it), removes nothing and says why.
uninstall_refused_while_running() {
    local dir status=0 tries=0
    dir=$(readlink -f "$(installed_dir HKCU)")
    rm -f "$scratch/stdin"
    mkfifo "$scratch/stdin"
    "$wine" "$dir/brelvoxa.exe" <"$scratch/stdin" >/dev/null 2>&1 &
    exec 9>"$scratch/stdin"
    # Wine names the process after its executable once it has mapped it.
    until pgrep -f -x "$dir/brelvoxa.exe" >/dev/null; do
        [ $((tries += 1)) -le 100 ] || fail_install "brelvoxa.exe did not start"
        sleep 0.2
    done
    "$wine" "$dir/desinstal·la.exe" /S "_?=$(reg_value "HKCU\\$uninstall_key" InstallLocation)" ||
        status=$?
    [ "$status" -eq 32 ] || fail_install "the uninstaller beside a running brelvoxa.exe ended with $status"
    check_installed HKCU "$user_place" "$user_shortcut"
    exec 9>&-
    wait
}

fail_install() {
    echo "Installer test: $*" >&2
    exit 1
}

run_setup() {
    local setup=$1 status=0
    shift
    "$wine" "$setup" "$@" || status=$?
    "$wineserver" -w
    [ "$status" -eq 0 ] || fail_install "$(basename "$setup") $* ended with status $status"
}

installed_dir() { unix_path "$(reg_value "$1\\$uninstall_key" InstallLocation)"; }
unix_path() { "$wine" winepath -u "$1" 2>/dev/null; }

# check_installed ROOT PLACE SHORTCUT: the installed files are the zip's and the
# uninstaller, in the folder PLACE, with the Start menu entry SHORTCUT (both under drive C), and
# ROOT's uninstall key names them, with the version, publisher, icon and size.
check_installed() {
    local root_key=$1 place=$2 shortcut=$3 dir key="$1\\$uninstall_key" other=HKLM
    [ "$root_key" = HKCU ] || other=HKCU
    dir=$(installed_dir "$root_key")
    [ "$(readlink -f "$dir")" = "$(find "$drive_c" -path "$drive_c/$place")" ] ||
        fail_install "installed in '$dir', not in $place"
    diff <(cd "$build_dir/installer/$folder" && find . | sort) \
        <(cd "$dir" && find . ! -name 'desinstal·la.exe' | sort) ||
        fail_install "the installed files are not the zip's"
    [ -f "$dir/desinstal·la.exe" ] || fail_install "no uninstaller"
    as_invoker "$dir/desinstal·la.exe"
    [ "$(reg_value "$key" DisplayName)" = Brelvoxa ] || fail_install "no $key"
    [ "$(reg_value "$key" DisplayVersion)" = "$version" ] || fail_install "version not $version"
    [ "$(reg_value "$key" Publisher)" = "Merrowfield,S.L." ] || fail_install "no publisher"
    [ "$(reg_value "$key" DisplayIcon)" = "$(reg_value "$key" InstallLocation)\\Dormatique.exe,0" ] ||
        fail_install "the icon is '$(reg_value "$key" DisplayIcon)'"
    # EstimatedSize is in KiB, the files' sizes added up.
    local size actual
    size=$(reg_value "$key" EstimatedSize)
    actual=$(du -s -k --apparent-size "$dir" | cut -f1)
    if [ "$size" -le $((actual * 9 / 10)) ] || [ "$size" -gt "$actual" ]; then
        fail_install "EstimatedSize $size for $actual KiB"
    fi
    [ -z "$(reg_value "$other\\$uninstall_key" DisplayName)" ] || fail_install "a key in $other too"
    # Wine's own Add/Remove Programs lists it once.
    [ "$("$wine" uninstaller --list | tr -d '\r' | grep -c -x 'Brelvoxa|||Brelvoxa')" -eq 1 ] ||
        fail_install "Wine's uninstaller does not list Brelvoxa once"
    local link
    link=$(find "$drive_c" -path "$drive_c/$shortcut")
    [ -n "$link" ] || fail_install "no Start menu entry $shortcut"
    grep -q -a -F "$(reg_value "$key" InstallLocation)\\Dormatique.exe" "$link" ||
        fail_install "the Start menu entry does not start Dormatique.exe"
}

# uninstall ROOT: the uninstaller Apps & features would start, silently.
uninstall() {
    local command
    command=$(reg_value "$1\\$uninstall_key" QuietUninstallString)
    [[ $command = '"'*'" /S' ]] || fail_install "QuietUninstallString is '$command'"
    command=${command%\" /S}
    run_setup "$(unix_path "${command#\"}")" /S
}

# The prefix as lists: every file and folder of drive C but the temporary folders, and
# the registry as `reg export` writes it: the user's, and of the machine's what
# programs and their installers write (not the hardware, which Wine's display driver
# rewrites as it starts).
wine_snapshot() {
    local out=$1
    mkdir -p "$out"
    (cd "$drive_c" && find . -path './users/*/Temp' -prune -o -path './windows/temp' \
        -prune -o -print | sort) >"$out/files"
    reg_export HKCU >"$out/HKCU"
    reg_export HKLM\\Software >"$out/HKLM"
    reg_export "${machine_environment%\\*}" >>"$out/HKLM"
}
expect_snapshot() {
    wine_snapshot "$scratch/after"
    local part
    for part in files HKCU HKLM; do
        diff "$1/$part" "$scratch/after/$part" || fail_install "the uninstall left $part changed"
    done
}

reg_export() {
    local file=$scratch/export.reg
    rm -f "$file"
    "$wine" reg export "$1" "$(windows_path "$(readlink -f "$scratch")")\\export.reg" /y >/dev/null 2>&1 || true
    [ ! -f "$file" ] || iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r'
}

# reg_value KEY NAME: the value as text (a number for a DWORD), "" when there is none.
reg_value() {
    reg_export "$1" | /usr/bin/python3 -c '
import re, sys
text = sys.stdin.read().replace("\\\n  ", "")
for name, kind, data in re.findall(r"^\"((?:[^\"\\]|\\.)*)\"=(dword:|hex\(2\):|\")(.*)$", text, re.M):
    if name.replace("\\\\", "\\") != sys.argv[1]:
        continue
    if kind == "dword:":
        print(int(data, 16))
    elif kind == "hex(2):":
        print(bytes.fromhex(data.replace(",", "")).decode("utf-16-le").rstrip("\0"))
    else:
        print(re.sub(r"\\(.)", r"\1", data[:-1]))
' "$2"
}

stages=("$@")
if [ ${#stages[@]} -eq 0 ]; then
    stages=(qt build test)
    [ "$gui" = OFF ] || stages+=(zip installer install)
    [ "$gui" = OFF ] || [ "${WINDOWS_SCREENSHOT:-1}" = 0 ] || stages+=(shot)
fi
for stage in "${stages[@]}"; do
    case $stage in
    setup) setup ;;
    qt) setup; [ "$gui" = OFF ] || build_qt ;;
    libs) setup; build_workbook_libs ;;
    build) build_program ;;
    test) run_tests ;;
    zip) make_zip ;;
    shot) take_screenshots ;;
    installer) make_installer ;;
    install) test_installer ;;
    *) echo "Unknown stage: $stage" >&2; exit 2 ;;
    esac
done
