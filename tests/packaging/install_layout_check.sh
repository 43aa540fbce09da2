#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch DESTDIR and checks what lands there: the
# game in the games folder, the tools beside the server, the desktop entry
# and AppStream metadata valid and pointing at the installed game and icon,
# every icon size, manual pages that man reads without complaint and that
# carry each tool's --help, and a systemd unit that systemd-analyze accepts.
# Usage: install_layout_check.sh BUILD PREFIX GAMESDIR BINDIR DATADIR MANDIR UNITDIR
set -u
build=$1 prefix=$2 gamesdir=$3 bindir=$4 datadir=$5 mandir=$6 unitdir=$7
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

DESTDIR=$work/root cmake --install "$build" > "$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; }
at=$work/root$prefix

[ -x "$at/$gamesdir/velmora" ] || fail "the game is not in $gamesdir/"
for tool in velmora-tally velmora-compress velmora-server; do
  [ -x "$at/$bindir/$tool" ] || fail "$tool is not in $bindir/"
done
[ -e "$at/$bindir/velmora" ] && fail "the game is in $bindir/ as well"

desktop=$at/$datadir/applications/velmora.desktop
desktop-file-validate "$desktop" || fail "desktop entry"
grep -qx "Exec=$prefix/$gamesdir/velmora" "$desktop" || fail "Exec does not name the installed game"
grep -qx 'Icon=velmora' "$desktop" || fail "Icon"
grep -q '^Categories=.*Game;.*BlocksGame;' "$desktop" || fail "Categories"
for size in 16 32 48 64 128 256; do
  icon=$at/$datadir/icons/hicolor/${size}x${size}/apps/velmora.png
  [ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = "89504e470d0a1a0a" ] || fail "no PNG icon $size"
done
grep -q '<svg' "$at/$datadir/icons/hicolor/scalable/apps/velmora.svg" || fail "no SVG icon"

metainfo=$(ls "$at/$datadir/metainfo/"*.metainfo.xml) || fail "no metainfo"
appstreamcli validate --no-net "$metainfo" > "$work/as.log" 2>&1 || { cat "$work/as.log"; fail "metainfo"; }
grep -q '<launchable type="desktop-id">velmora.desktop</launchable>' "$metainfo" || fail "launchable"
grep -q '<release version="[0-9]' "$metainfo" || fail "release"

for page in man6/velmora.6 man1/velmora-tally.1 man1/velmora-compress.1 man8/velmora-server.8; do
  file=$at/$mandir/$page.gz
  gzip -t "$file" 2>/dev/null || fail "$page is not gzip"
  zcat "$file" | LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l - > "$work/page" 2> "$work/warn" ||
    fail "man cannot read $page"
  [ -s "$work/warn" ] && { cat "$work/warn"; fail "man warns about $page"; }
  grep -q '^NAME' "$work/page" || fail "$page has no NAME"
done
for tool in velmora-tally velmora-compress; do
  zcat "$at/$mandir/man1/$tool.1.gz" | grep -q 'output version information' ||
    fail "$tool.1 is not made from its --help"
done

unit=$work/root$unitdir/velmora-server.service
[ -f "$unit" ] || fail "no unit in $unitdir"
sed "s|^ExecStart=$prefix/$bindir/velmora-server |ExecStart=$at/$bindir/velmora-server |" "$unit" > "$work/velmora-server.service"
grep -q "^ExecStart=$at/" "$work/velmora-server.service" || fail "ExecStart does not name the installed server"
MANPATH=$at/$mandir systemd-analyze verify "$work/velmora-server.service" || fail "systemd-analyze verify"
echo "install layout checks passed"
