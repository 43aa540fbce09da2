#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks a tool's --help and --version in the GNU form that help2man reads:
# both on standard output with exit status 0, the help opening with a usage
# line and naming both options, the version opening with "NAME VERSION", and
# an unknown option refused with a non-zero status and nothing on stdout.
# Usage: cli_manners_check.sh TOOL NAME VERSION
set -u
tool=$1
name=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL ($name): $*"; exit 1; }

"$tool" --help > "$work/help" 2> "$work/help.err" || fail "--help exit status"
[ -s "$work/help.err" ] && fail "--help wrote to standard error"
head -n 1 "$work/help" | grep -qi "^usage: $name" || fail "--help does not open with a usage line"
grep -q -- '--help' "$work/help" || fail "--help does not list --help"
grep -q -- '--version' "$work/help" || fail "--help does not list --version"

"$tool" --version > "$work/version" 2> /dev/null || fail "--version exit status"
[ "$(head -n 1 "$work/version")" = "$name $version" ] || fail "--version opens with '$(head -n 1 "$work/version")'"
grep -q '^Copyright' "$work/version" || fail "--version has no copyright line"

"$tool" --no-such-option > "$work/bad" 2> /dev/null
[ $? -ne 0 ] || fail "an unknown option is accepted"
[ -s "$work/bad" ] && fail "an unknown option prints to standard output"
echo "$name: --help and --version checks passed"
