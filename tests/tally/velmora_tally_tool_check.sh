#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the tally inspector end to end: import a grid text, show it, export
# it back unchanged, and refuse a damaged, missing, endless or oversized file
# with exit code 1.
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

# Reads are bounded and only from regular files: no hang on a FIFO, no
# endless read of a device, no huge file read whole.
mkfifo "$work/fifo"
mkdir "$work/folder"
truncate -s 17M "$work/huge"
for input in /dev/zero "$work/fifo" "$work/folder" "$work/huge"; do
  timeout 20 "$tool" export "$input" > /dev/null 2> "$work/err.txt"
  [ $? -eq 1 ] || fail "export of $input"
  timeout 20 "$tool" import "$input" "$work/from-bad.tld" 2> /dev/null
  [ $? -eq 1 ] || fail "import of $input"
done
timeout 20 "$tool" export "$work/folder" 2> "$work/err.txt"
grep -q 'Failed to open input file' "$work/err.txt" || fail "folder message"
[ ! -e "$work/from-bad.tld" ] || fail "a tally file was written from a bad text"
echo "velmora-tally checks passed"
