#!/usr/bin/env bash
# Installs what the benchmarks add (Google Benchmark, and libcsv as the CSV splitter's
# yardstick), builds them for release without Qt into build-bench/ (or BUILD_DIR) and
# runs them. bench/comparar.sh times brelvoxa against two other tools.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build-bench}

. "$root/tools/packages.sh"
# shellcheck disable=SC2086
install_packages cmake g++ ninja-build $cli_packages libbenchmark-dev libcsv-dev

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVOXA_GUI=OFF \
    -DBRELVOXA_BENCH=ON -DBRELVOXA_TESTS=OFF "$@"
cmake --build "$build" --target bench_core bench_csv -j "$(nproc)"
"$build/bench/bench_core"
"$build/bench/bench_csv"
