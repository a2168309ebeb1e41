#!/usr/bin/env bash
# The packages as a user gets them: dist/*.deb (tools/package.sh) installed with apt,
# then a ten-line C program built with pkg-config, the same built by CMake with
# find_package(Brelvoxa), and the module imported by the system's python3. The
# packages are removed again at the end (KEEP=1 keeps them). Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/../.."
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
packages=$(for deb in dist/*.deb; do dpkg-deb --field "$deb" Package; done)
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./dist/*.deb

work=$(mktemp -d)
trap 'rm -rf "$work"; [ "${KEEP:-0}" = 1 ] || $sudo apt-get remove -y -qq $packages >/dev/null' EXIT
cat >"$work/prova.c" <<'C'
#include <brelvoxa.h>
#include <stdio.h>

int main(void) {
    brv_result r;
    brv_check("2100 0418 45 0200051332", 23, &r);
    printf("%s %s %s\n", r.iban, r.bic, brv_status_text(r.status));
    return r.status != BRV_CORRECT;
}
C
expected="ES9121000418450200051332 CAIXESBBXXX correcte"
passed=0 failed=0
check() { # what got
    if [ "$2" = "$expected" ] || [ "$2" = "${expected%% *}" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "$1: got «$2»"
    fi
}

# shellcheck disable=SC2046
cc -std=c99 -Wall -Werror "$work/prova.c" $(pkg-config --cflags --libs brelvoxa) -o "$work/pkg-config"
check pkg-config "$("$work/pkg-config")"

cat >"$work/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(prova LANGUAGES C)
find_package(Brelvoxa 1 REQUIRED)
add_executable(prova prova.c)
target_link_libraries(prova PRIVATE Brelvoxa::brelvoxa)
CMAKE
cmake -S "$work" -B "$work/build" >/dev/null && cmake --build "$work/build" >/dev/null
check find_package "$("$work/build/prova")"

check python3 "$(cd / && /usr/bin/python3 -c "import brelvoxa; print(brelvoxa.validate('2100 0418 45 0200051332'))")"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
