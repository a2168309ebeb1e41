#!/usr/bin/env bash
# brelvoxa.exe under Wine with files named outside ASCII: read (the converted list on
# stdout), written (-o), or a workbook (dades/llibre.xlsx) converted into another. Windows hands a program's main() its arguments, and the C
# library's fopen its names, in the machine's ANSI code page (Windows-1252 here)
# unless the program's manifest makes that UTF-8: then "Łódź" reaches it whole
# instead of as "L?dz".
# Usage: non_ascii_names.sh WINE BRELVOXA_EXE read|write|workbook
set -uo pipefail
wine=$1 exe=$(realpath "$2") mode=$3 book=$(dirname "$(realpath "$0")")/dades/llibre.xlsx
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Wine reads its command line in the Unix locale's encoding.
export LC_ALL=C.UTF-8
for name in 'comptes_març_€' 'proveïdors_Łódź_Ωmega'; do
    printf '21001234515678901234\r\n' >"$scratch/$name.txt"
    rm -f "$scratch/out"
    if [ "$mode" = read ]; then
        (cd "$scratch" && "$wine" "$exe" "$name.txt") >"$scratch/out" 2>"$scratch/err"
        status=$?
    elif [ "$mode" = workbook ]; then
        cp "$book" "$scratch/$name.xlsx"
        (cd "$scratch" && "$wine" "$exe" "$name.xlsx" -o "$name-iban.xlsx") >"$scratch/err" 2>&1
        # Two of its accounts are wrong: status 1. The new sheet holds the right one's IBAN.
        code=$?
        status=$((code == 1 ? 0 : code + 1))
        unzip -p "$scratch/$name-iban.xlsx" xl/worksheets/sheet1.xml >"$scratch/out" 2>/dev/null
    else
        (cd "$scratch" && "$wine" "$exe" "$name.txt" -o "$name-iban.txt") >"$scratch/err" 2>&1
        status=$?
    fi
    [ "$mode" != write ] || cp "$scratch/$name-iban.txt" "$scratch/out" 2>/dev/null
    want=ES0321001234515678901234
    [ "$mode" != workbook ] || want=ES9121000418450200051332
    if [ "$status" -ne 0 ] || ! grep -q "$want" "$scratch/out" 2>/dev/null; then
        echo "FAIL: $name ($mode): exit status $status, or no IBAN where expected"
        cat "$scratch/err"
        ls "$scratch"
        failed=1
    else
        echo "ok: $name ($mode)"
    fi
done
exit "$failed"
