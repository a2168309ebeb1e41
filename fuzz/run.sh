#!/bin/sh
# Builds a fuzzer with clang in its own build directory and runs it for the given
# number of seconds. Exits non-zero on any crash or sanitizer report.
#   fuzz/run.sh SECONDS [core|csv]
# core, the default, fuzzes the account core; csv, brelvoxa's list and CSV conversion.
# Installs what fuzzing adds to a build without Qt: clang, libclang-rt-14-dev
# (libFuzzer and the sanitizer runtimes) and llvm-14 (llvm-symbolizer, for readable
# reports).
set -eu

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 SECONDS [core|csv]" >&2
    exit 2
fi
seconds=$1
target=${2:-core}
case $target in
core | csv) ;;
*)
    echo "$0: unknown fuzzer: $target (core or csv)" >&2
    exit 2
    ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BRELVOXA_FUZZ_BUILD:-$root/build-fuzz}

. "$root/tools/packages.sh"
# shellcheck disable=SC2086
install_packages cmake ninja-build $cli_packages clang libclang-rt-14-dev llvm-14

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DBRELVOXA_FUZZ=ON -DBRELVOXA_GUI=OFF -DBRELVOXA_LIB=OFF -DBRELVOXA_TESTS=OFF
cmake --build "$build" --target "fuzz_$target" -j2

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
if [ "$target" = core ]; then
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
    seed estranger 'IBAN FR14 2004 1010 0505 0001 3M02 606'
    seed semblants 'ＤＥ89 3704–0044 0532 0130 00'
    # As UTF-8, for the library's entry point.
    printf 'IBAN ES91\302\2402100\342\200\2230418 4502 0005 1323' >"$corpus/utf8"
else
    # Four bytes: options, window, row limit and read sizes; then a file as people
    # export them.
    printf '\000\020\030\007Nom;IBAN\r\n"Puig; Anna";ES03 2100 1234 5156 7890 1234\r\n' >"$corpus/csv"
    printf '\040\003\377\003ES0321001234515678901234\n\n2100-1234-51-5678901234\n' >"$corpus/llista"
    printf '\000\001\005\001E,O,D,C\n0049,1500,01,0512345678\n"a""b\nc",1,2\n' >"$corpus/quatre"
    printf '\010\011\040\011Mu\361oz\t31190001080000012345\n' >"$corpus/cp1252"
    printf '\000\005\010\005\357\273\277x;"obert\n1;2\n' >"$corpus/obert"
    printf '\000\007\011\002Nom,IBAN\rPuig,ES0321001234515678901234\r' >"$corpus/mac"
    printf '\000\040\100\003\377\376N\000;\000I\000\r\000\n\0002\0001\000' >"$corpus/utf16"
fi

# Each execution allocates and frees a few kilobytes: AddressSanitizer's default 256 MB
# quarantine and its fill of every new block would turn that into page faults and
# memset. A 16 MB quarantine still holds every block freed within an execution.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16:max_malloc_fill_size=0}
"$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/" "$corpus"
