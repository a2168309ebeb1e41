#!/usr/bin/env bash
# Reads back the resources of a built Windows executable with wrestool (icoutils):
# its icon must be the program's, and its version resource must name it as designed.
# Usage: exe_resources.sh EXE ICO NAME=VALUE...
set -uo pipefail
exe=$1 ico=$2
shift 2
failed=0
fail() { echo "FAIL: $*"; failed=1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The shell shows the first icon group; it must hold the same pictures as the .ico.
mkdir "$scratch/built" "$scratch/designed"
wrestool -x --type=group_icon "$exe" -o "$scratch/icona.ico" >/dev/null 2>&1 ||
    fail "no icon in $exe"
icotool -x -o "$scratch/built" "$scratch/icona.ico"
icotool -x -o "$scratch/designed" "$ico"
diff -r "$scratch/built" "$scratch/designed" >/dev/null || fail "the icon differs from $ico"
[ -n "$(ls "$scratch/built")" ] || fail "the icon group holds no picture"

# One version resource, in Spanish (Spain), language 3082 (0x0C0A).
listing=$(wrestool -l --type=version "$exe")
echo "$listing"
[ "$(grep -c . <<<"$listing")" -eq 1 ] || fail "expected one version resource"
grep -q -- '--language=3082' <<<"$listing" || fail "the version resource is not Spanish (Spain)"

# Its UTF-16 keys and values, one a line: each value follows its key, and each key
# its node's length words and the type 1 (text), read as characters.
wrestool -x --raw --type=version "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    tr '\0' '\n' | grep -a -v '^[[:space:]]*$' >"$scratch/strings"
for pair in "$@"; do
    key=${pair%%=*} value=${pair#*=}
    actual=$(grep -a -A1 -- $'\x01'"$key\$" "$scratch/strings" | sed -n 2p)
    [ "$actual" = "$value" ] || fail "$key is '$actual', not '$value'"
done
[ "$(grep -a -c -- $'\x01CompanyName$' "$scratch/strings")" -eq 1 ] || fail "more than one string table"

[ "$failed" -eq 0 ] && echo "OK: icon and version of $(basename "$exe")"
exit "$failed"
