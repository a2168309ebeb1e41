#!/bin/sh
# Builds the core fuzzer with clang in its own build directory and runs it for the
# given number of seconds. Exits non-zero on any crash or sanitizer report.
#   fuzz/run.sh SECONDS
# Needs clang and libclang-rt-14-dev (libFuzzer and the sanitizer runtimes).
set -eu

if [ $# -ne 1 ]; then
    echo "usage: $0 SECONDS" >&2
    exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRELVOXA_FUZZ_BUILD:-$root/build-fuzz}

generator=
if command -v ninja >/dev/null 2>&1; then
    generator="-G Ninja"
fi
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" $generator -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBRELVOXA_FUZZ=ON -DBRELVOXA_GUI=OFF -DBRELVOXA_TESTS=OFF
cmake --build "$build" --target fuzz_core -j2

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
# A few ordinary inputs to start from, as the windows pass them (UTF-16LE).
seed() {
    printf '%s' "$2" | iconv -f UTF-8 -t UTF-16LE >"$corpus/$1"
}
seed compte '21001234515678901234ES'
seed lletres '1234567801X123456789es'
seed codi '2100'
seed prefix '21'
seed exponent '9E99'
seed decimal ' -2.5D+1 '

"$build/fuzz/fuzz_core" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/" "$corpus"
