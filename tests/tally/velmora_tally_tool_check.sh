#!/bin/sh
# Checks the tally inspector end to end: import a grid text, show it, export
# it back unchanged, and refuse a damaged or missing file with exit code 1.
# Usage: velmora_tally_tool_check.sh VELMORA_TALLY GRID_TEXT
set -u
tool=$1
text=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$tool" import "$text" "$work/t.tld" || fail "import"
[ "$(head -c 4 "$work/t.tld")" = "!HZL" ] || fail "not a Good-mode container"
"$tool" export "$work/t.tld" > "$work/out.txt" || fail "export"
cmp -s "$text" "$work/out.txt" || fail "export differs from the imported text"
"$tool" show "$work/t.tld" > "$work/table.txt" || fail "show"
grep -q '^Total Games: *3$' "$work/table.txt" || fail "games total"
grep -q '^  1\. .* 4200$' "$work/table.txt" || fail "rank 1"

printf 'XXXXjunk' > "$work/bad.tld"
"$tool" show "$work/bad.tld" 2> "$work/err.txt"
[ $? -eq 1 ] || fail "damaged file exit code"
grep -q 'this file has no valid header' "$work/err.txt" || fail "damaged file message"
"$tool" export "$work/missing.tld" 2> /dev/null
[ $? -eq 1 ] || fail "missing file exit code"
echo "velmora-tally checks passed"
