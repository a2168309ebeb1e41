#!/usr/bin/env bash
# Throughput of brelvoxa against the same job done with python-stdnum and with the
# npm package ibantools, on a generated plain list and a ';' CSV of the same accounts.
#   bench/comparar.sh [ROWS]      (10000000 by default)
# Builds brelvoxa for release in build-bench/ (or $BUILD_DIR), installs the two
# comparators there if missing, and prints rows per second and peak memory: brelvoxa
# as the median of $RUNS runs (5), each comparator once (python-stdnum takes minutes).
# The machine is shared: run it when it is quiet, and compare ratios more than times.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rows=${1:-10000000}
runs=${RUNS:-5}
build=${BUILD_DIR:-$root/build-bench}

. "$root/tools/packages.sh"
# shellcheck disable=SC2086
install_packages cmake g++ ninja-build libcli11-dev python3-stdnum
command -v npm >/dev/null || install_packages npm
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVOXA_GUI=OFF \
    -DBRELVOXA_TESTS=OFF >/dev/null
cmake --build "$build" --target brelvoxa >/dev/null
if [ ! -d "$build/npm/node_modules/ibantools" ]; then
    mkdir -p "$build/npm"
    (cd "$build/npm" && npm install --no-audit --no-fund --silent ibantools@4)
fi

data=$build/dades-$rows
mkdir -p "$data"
if [ ! -s "$data/comptes.csv" ]; then
    python3 "$root/bench/generar_comptes.py" "$rows" "$data/comptes.txt" "$data/comptes.csv"
fi

# Prints "seconds peak-KiB" of one run, its output thrown away.
measure() {
    /usr/bin/time -f '%e %M' -o "$data/time" "$@" >/dev/null 2>"$data/err" || [ $? -eq 1 ]
    tail -n 1 "$data/time"
}

report() { # name file-kind seconds peak
    awk -v n="$1" -v k="$2" -v rows="$rows" -v s="$3" -v m="$4" 'BEGIN {
        printf "%-10s %-6s %9.2f s %12.0f files/s %8.1f MiB\n", n, k, s, rows / s, m / 1024 }'
}

echo "$rows files; $(nproc) nuclis compartits; $(date -u '+%Y-%m-%d %H:%M UTC')"
for kind in llista csv; do
    file=$data/comptes.txt
    [ "$kind" = csv ] && file=$data/comptes.csv
    times=()
    peak=0
    for _ in $(seq "$runs"); do
        read -r s m < <(measure "$build/cli/brelvoxa" "$file")
        times+=("$s")
        [ "$m" -gt "$peak" ] && peak=$m
    done
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
    report brelvoxa "$kind" "$median" "$peak"
    read -r s m < <(measure env NODE_PATH="$build/npm/node_modules" node "$root/bench/comparar_ibantools.js" "$kind" "$file")
    report ibantools "$kind" "$s" "$m"
    read -r s m < <(measure /usr/bin/python3 "$root/bench/comparar_stdnum.py" "$kind" "$file")
    report stdnum "$kind" "$s" "$m"
done
