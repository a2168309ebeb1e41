#!/usr/bin/env bash
# brelvoxa.exe under Wine with file names outside ASCII, read and written (-o).
# Windows hands a program's main() its arguments, and the C library's fopen its names,
# in the machine's ANSI code page (Windows-1252 here) unless the program's manifest
# makes that UTF-8: then "Łódź" reaches it whole instead of as "?ód?".
# Usage: non_ascii_names.sh WINE BRELVOXA_EXE
set -uo pipefail
wine=$1 exe=$2
failed=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Wine reads its command line in the Unix locale's encoding.
export LC_ALL=C.UTF-8
for name in 'comptes_març_€' 'proveïdors_Łódź_Ωmega'; do
    printf '21001234515678901234\r\n' >"$scratch/$name.txt"
    (cd "$scratch" && "$wine" "$exe" "$name.txt" -o "$name-iban.txt") >"$scratch/out" 2>&1
    status=$?
    if [ "$status" -ne 0 ]; then
        echo "FAIL: $name: exit status $status"
        cat "$scratch/out"
        failed=1
    elif ! grep -q 'ES0321001234515678901234' "$scratch/$name-iban.txt" 2>/dev/null; then
        echo "FAIL: $name: no $name-iban.txt with the IBAN"
        ls "$scratch"
        failed=1
    else
        echo "ok: $name.txt -> $name-iban.txt"
    fi
done
exit "$failed"
