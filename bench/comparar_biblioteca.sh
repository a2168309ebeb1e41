#!/usr/bin/env bash
# The library's speed on one pinned core (taskset -c 1, or $CORE): the Python module's
# check_many and is_valid against python-stdnum (bench/comparar_biblioteca.py) on the
# first ROWS accounts of generar_comptes.py's list, then bench_core's check of a cell
# in the core and through libbrelvoxa's brv_check; last, on every core, check_many
# beside a busy Python thread against alone.
#   bench/comparar_biblioteca.sh [ROWS] [STDNUM_ROWS]    (1000000 and 100000)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rows=${1:-1000000}
stdnum_rows=${2:-100000}
core=${CORE:-1}
build=${BUILD_DIR:-$root/build-bench}

. "$root/tools/packages.sh"
# shellcheck disable=SC2086
install_packages cmake g++ ninja-build $cli_packages libbenchmark-dev libcsv-dev $library_packages \
    python3-stdnum
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVOXA_GUI=OFF \
    -DBRELVOXA_BENCH=ON -DBRELVOXA_LIB=ON -DBRELVOXA_TESTS=OFF >/dev/null
cmake --build "$build" --target _brelvoxa bench_core -j2 >/dev/null

data=$build/dades-$rows
mkdir -p "$data"
[ -s "$data/comptes.txt" ] ||
    python3 "$root/bench/generar_comptes.py" "$rows" "$data/comptes.txt" "$data/comptes.csv"

echo "$rows comptes; nucli $core; $(date -u '+%Y-%m-%d %H:%M UTC')"
PYTHONPATH="$build/python:$root/bench" taskset -c "$core" /usr/bin/python3 \
    "$root/bench/comparar_biblioteca.py" "$data/comptes.txt" "$rows" "$stdnum_rows"
taskset -c "$core" "$build/bench/bench_core" --benchmark_filter='comprovarCompte|brv_check' \
    --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
PYTHONPATH="$build/python:$root/bench" /usr/bin/python3 \
    "$root/bench/comparar_biblioteca.py" --busy "$data/comptes.txt" "$rows"
