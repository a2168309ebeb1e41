#!/usr/bin/env bash
# Installs what building Brelvoxa and its tests needs, builds everything into build/
# (or BUILD_DIR; extra arguments go to cmake) and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/packages.sh
# What the tests add: GoogleTest; llvm-rc, which compiles the Windows resource script;
# the validators of the desktop entry and the AppStream metadata; bash-completion,
# whose helpers the completion script uses; a virtual display, a window manager and
# xprop (which waits for the manager) for the windows_under_openbox run; strace for
# the test that brelvoxa syncs its output before renaming it; pytest for the Python
# module, pandas for the columns it is given, mypy, whose stubtest compares the
# module's type stubs with it, and python-stdnum, against which its tests hold the
# national check digits; for the workbook tests, the writers and readers brelvoxa's
# workbooks are made and checked with: XlsxWriter, openpyxl, odfpy and LibreOffice's
# Calc.
# shellcheck disable=SC2086
install_packages $build_packages $library_packages libgtest-dev libgmock-dev llvm-14 \
    desktop-file-utils appstream bash-completion xvfb xauth x11-utils openbox strace \
    python3-pytest python3-pandas mypy python3-stdnum python3-xlsxwriter python3-openpyxl \
    python3-odf libreoffice-calc-nogui

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DBRELVOXA_TESTS=ON "$@"
cmake --build "$build_dir" -j "$(nproc)"
cd "$build_dir"
ctest --output-on-failure -j "$(nproc)" --timeout 300
