#!/usr/bin/env bash
# Throughput of brelvoxa against the same job done with python-stdnum and with the
# npm package ibantools, on a generated plain list and a ';' CSV of the same accounts
# (Spanish and other countries'), and on a plain list where every row is one typo
# away from a right account, so that brelvoxa searches each for a suggestion.
#   bench/comparar.sh [ROWS]      (10000000 by default; the all-wrong list a tenth)
# Builds brelvoxa for release in build-bench/ (or $BUILD_DIR), installs the two
# comparators there if missing, and prints rows per second and peak memory: brelvoxa
# as the median of $RUNS runs (5), each comparator once (python-stdnum takes minutes),
# on the first $COMPARATOR_ROWS rows of each file (all of them by default).
# The machine is shared: run it when it is quiet, and compare ratios more than times.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rows=${1:-10000000}
runs=${RUNS:-5}
wrong_rows=${WRONG_ROWS:-$((rows / 10))}
comparator_rows=${COMPARATOR_ROWS:-$rows}
build=${BUILD_DIR:-$root/build-bench}

. "$root/tools/packages.sh"
# shellcheck disable=SC2086
install_packages cmake g++ ninja-build $cli_packages python3-stdnum
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
if [ ! -s "$data/erronis-$wrong_rows.txt" ]; then
    python3 "$root/bench/generar_comptes.py" "$wrong_rows" "$data/erronis-$wrong_rows.txt" \
        "$data/erronis-$wrong_rows.csv" --erronis
fi

# The first N rows of a file (and a CSV's header), for the slower comparators.
first_rows() { # file kind n
    local part=$1.$3 lines=$3
    [ "$2" = csv ] && lines=$((lines + 1))
    [ -s "$part" ] || head -n "$lines" "$1" >"$part"
    echo "$part"
}

# Prints "seconds peak-KiB cpu-seconds" of one run, its output thrown away. On a
# shared machine the CPU time (user and system) says more than the wall time.
measure() {
    /usr/bin/time -f '%e %M %U %S' -o "$data/time" "$@" >/dev/null 2>"$data/err" || [ $? -eq 1 ]
    tail -n 1 "$data/time" | awk '{ print $1, $2, $3 + $4 }'
}

report() { # name file-kind rows seconds peak cpu-seconds [brelvoxa's rows per cpu-second]
    awk -v n="$1" -v k="$2" -v rows="$3" -v s="$4" -v m="$5" -v c="$6" -v ours="${7:-}" 'BEGIN {
        rate = rows / c
        printf "%-10s %-7s %9d files %8.2f s %11.0f files/s | CPU %8.2f s %11.0f files/s %7.1f MiB",
            n, k, rows, s, rows / s, c, rate, m / 1024
        if (ours != "") printf "  brelvoxa %.1fx", ours / rate
        printf "\n" }'
}

median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

echo "$rows files ($wrong_rows erronis); $(nproc) nuclis compartits; $(date -u '+%Y-%m-%d %H:%M UTC')"
for kind in llista csv erronis; do
    file=$data/comptes.txt
    n=$rows
    [ "$kind" = csv ] && file=$data/comptes.csv
    [ "$kind" = erronis ] && file=$data/erronis-$wrong_rows.txt && n=$wrong_rows
    times=()
    cpus=()
    peak=0
    for _ in $(seq "$runs"); do
        read -r s m c < <(measure "$build/cli/brelvoxa" "$file")
        times+=("$s")
        cpus+=("$c")
        [ "$m" -gt "$peak" ] && peak=$m
    done
    cpu=$(median "${cpus[@]}")
    report brelvoxa "$kind" "$n" "$(median "${times[@]}")" "$peak" "$cpu"
    ours=$(awk -v n="$n" -v c="$cpu" 'BEGIN { print n / c }')
    # The comparators read the all-wrong list as a plain list; they suggest nothing.
    format=$kind
    [ "$kind" = erronis ] && format=llista
    m_rows=$((comparator_rows < n ? comparator_rows : n))
    part=$file
    [ "$m_rows" -lt "$n" ] && part=$(first_rows "$file" "$format" "$m_rows")
    read -r s m c < <(measure env NODE_PATH="$build/npm/node_modules" node "$root/bench/comparar_ibantools.js" "$format" "$part")
    report ibantools "$kind" "$m_rows" "$s" "$m" "$c" "$ours"
    read -r s m c < <(measure /usr/bin/python3 "$root/bench/comparar_stdnum.py" "$format" "$part")
    report stdnum "$kind" "$m_rows" "$s" "$m" "$c" "$ours"
done
