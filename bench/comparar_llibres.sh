#!/usr/bin/env bash
# brelvoxa on a workbook of Excel's 1,048,576 rows (a header and 1,048,575 accounts of
# generar_comptes.py's mix, in three columns: name, account, amount), as .xlsx made by
# XlsxWriter in constant-memory mode and as .ods made from it by LibreOffice, against
# the same job written with openpyxl and python-stdnum (llibres.py: read, check, add
# six cells, save) and against LibreOffice's own round trip through a CSV (the .xlsx
# to CSV, brelvoxa on the CSV, the CSV back to .xlsx). brelvoxa runs on one pinned
# core; the CPU time (user and system) and the peak memory of each step are printed.
#   bench/comparar_llibres.sh [RUNS]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
rows=1048575
build=${BUILD_DIR:-$root/build-bench}

. "$root/tools/packages.sh"
# shellcheck disable=SC2086
install_packages cmake g++ ninja-build $cli_packages python3-stdnum python3-xlsxwriter \
    python3-openpyxl libreoffice-calc-nogui
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRELVOXA_GUI=OFF \
    -DBRELVOXA_TESTS=OFF >/dev/null
cmake --build "$build" --target brelvoxa >/dev/null

data=$build/llibres
mkdir -p "$data"
office() { soffice "-env:UserInstallation=file://$data/perfil" --headless "$@" >/dev/null 2>&1; }
if [ ! -s "$data/comptes.xlsx" ]; then
    /usr/bin/python3 "$root/bench/generar_comptes.py" "$rows" "$data/llista.txt" "$data/comptes.csv"
    (cd "$root/bench" && /usr/bin/python3 llibres.py fer "$rows" "$data/comptes.csv" "$data/comptes.xlsx")
fi
[ -s "$data/comptes.ods" ] || (cd "$data" && office --convert-to ods comptes.xlsx)

# Prints "cpu-seconds peak-KiB" of one run.
measure() {
    /usr/bin/time -f '%U %S %M' -o "$data/time" "$@" >/dev/null 2>"$data/err" || [ $? -eq 1 ]
    tail -n 1 "$data/time" | awk '{ print $1 + $2, $3 }'
}
median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
report() { # what cpu-seconds peak-KiB
    awk -v w="$1" -v c="$2" -v m="$3" -v n="$rows" \
        'BEGIN { printf "%-34s CPU %8.2f s %10.0f files/s %8.1f MiB\n", w, c, n / c, m / 1024 }'
}

echo "$rows files; $(nproc) nuclis compartits; $(date -u '+%Y-%m-%d %H:%M UTC')"
for kind in xlsx ods; do
    cpus=() peak=0
    for _ in $(seq "$runs"); do
        read -r c m < <(measure taskset -c 1 "$build/cli/brelvoxa" "$data/comptes.$kind" \
            -o "$data/sortida.$kind")
        cpus+=("$c")
        [ "$m" -gt "$peak" ] && peak=$m
    done
    report "brelvoxa .$kind" "$(median "${cpus[@]}")" "$peak"
done
read -r c m < <(measure /usr/bin/python3 "$root/bench/llibres.py" openpyxl "$data/comptes.xlsx" \
    "$data/openpyxl.xlsx")
report "openpyxl + python-stdnum .xlsx" "$c" "$m"
# LibreOffice's round trip: to CSV (over the generator's), converted, back to a workbook.
read -r c1 m1 < <(cd "$data" && measure soffice "-env:UserInstallation=file://$data/perfil" \
    --headless --convert-to csv:"Text - txt - csv (StarCalc)":59,34,76,1 comptes.xlsx)
read -r c2 m2 < <(measure "$build/cli/brelvoxa" "$data/comptes.csv" -o "$data/comptes-iban.csv")
read -r c3 m3 < <(cd "$data" && measure soffice "-env:UserInstallation=file://$data/perfil" \
    --headless --infilter=CSV:59,34,76,1 --convert-to xlsx comptes-iban.csv)
report "LibreOffice .xlsx a CSV" "$c1" "$m1"
report "brelvoxa amb el CSV" "$c2" "$m2"
report "LibreOffice CSV a .xlsx" "$c3" "$m3"
