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
wrestool -x --type=group_icon "$exe" -o "$scratch/icon.ico" >/dev/null 2>&1 ||
    fail "no icon in $exe"
cmp -s "$scratch/icon.ico" "$ico" || fail "the icon differs from $ico"

# One version resource, in Spanish (Spain), language 3082 (0x0C0A).
listing=$(wrestool -l --type=version "$exe")
echo "$listing"
[ "$(grep -c . <<<"$listing")" -eq 1 ] || fail "expected one version resource"
grep -q -- '--language=3082' <<<"$listing" || fail "the version resource is not Spanish (Spain)"

# Its UTF-16 keys and values, one a line: each value follows its key.
wrestool -x --type=version "$exe" | iconv -f UTF-16LE -t UTF-8 2>/dev/null |
    tr '\0' '\n' | grep -a -v '^[[:space:]]*$' >"$scratch/strings"
for pair in "$@"; do
    key=${pair%%=*} value=${pair#*=}
    actual=$(grep -a -x -A1 -- "$key" "$scratch/strings" | sed -n 2p)
    [ "$actual" = "$value" ] || fail "$key is '$actual', not '$value'"
done
[ "$(grep -a -c -x CompanyName "$scratch/strings")" -eq 1 ] || fail "more than one string table"

[ "$failed" -eq 0 ] && echo "OK: icon and version of $(basename "$exe")"
exit "$failed"
