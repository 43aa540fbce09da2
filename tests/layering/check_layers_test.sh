#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The layering check passes on the tree and refuses a tree that breaks it.
# Usage: check_layers_test.sh CHECK_SCRIPT SOURCE_ROOT
set -u
check=$1 root=$2
fail() { echo "FAIL: $*"; exit 1; }

"$check" "$root" || fail "the tree breaks the layering"

out=$("$check" "$root/tests/layering/violations" 2>&1) && fail "a tree with breaches passed"
echo "$out" | grep -q '^tally/tally_names.h:4: the core includes the Qt header <QString>' ||
  fail "a Qt header in tally/ went unreported: $out"
echo "$out" | grep -q '^app/helpform.cpp:4: a window includes another window' ||
  fail "a window including another went unreported: $out"
echo "$out" | grep -q 'app/helpform.cpp:3' && fail "a window's own header was reported: $out"
echo "$out" | grep -q 'ui/guarded.h' && fail "the window kit was reported: $out"
echo "layering check: passes the tree, refuses the breaches"
