#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the game against the floor, a bare Qt window of the same size
# with a menu bar (bare_window), under one Xvfb: rounds alternate the two
# programs (which one goes first alternates too), each timed from its start to
# the X server's MapNotify of its first window (first_map, an event watcher,
# no polling). 3 s after the window, resident memory (RSS) and proportional
# set size (PSS) are read. Prints each round, the medians and the ratios, then
# the game's CPU use while it sits idle with no game running.
# Usage: bench/app/startup.sh BUILD-FOLDER [rounds]
#   (build the targets velmora, first_map and bare_window first)
set -euo pipefail
build=$(realpath "$1")
rounds=${2:-9}
work=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# The game keeps its settings and tally beside itself: a folder of its own.
cp "$build/app/velmora" "$work/velmora"
watch="$build/bench/app/first_map"
bare="$build/bench/app/bare_window"

# The first display number that no X server holds.
n=90
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
until xdpyinfo >/dev/null 2>&1; do sleep 0.05; done

# One run: prints "<ms to the first map> <RSS kB> <PSS kB>".
measure() {
  local out pid ms
  # Through a file: the program keeps the watcher's output open.
  "$watch" "$@" >"$work/out" 2>"$work/log" || { echo "$1 showed no window:" >&2; cat "$work/log" >&2; exit 1; }
  read -r pid ms <"$work/out"
  sleep 3
  local memory
  memory=$(awk '/^Rss:/ {r=$2} /^Pss:/ {p=$2} END {print r, p}' "/proc/$pid/smaps_rollup")
  kill -TERM "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  echo "$ms $memory"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# A first start of each, not counted: the game writes its settings and tally,
# and both bring the libraries into the page cache.
measure "$work/velmora" >/dev/null
measure "$bare" >/dev/null

: >"$work/game" ; : >"$work/bare"
printf '%-6s %10s %9s %9s %10s %9s %9s\n' round game_ms rss_kB pss_kB bare_ms rss_kB pss_kB
for round in $(seq "$rounds"); do
  if [ $((round % 2)) -eq 1 ]; then
    g=$(measure "$work/velmora"); b=$(measure "$bare")
  else
    b=$(measure "$bare"); g=$(measure "$work/velmora")
  fi
  echo "$g" >>"$work/game"; echo "$b" >>"$work/bare"
  printf '%-6s %10s %9s %9s %10s %9s %9s\n' "$round" $g $b
done

for column in 1 2 3; do
  gm[$column]=$(cut -d' ' -f$column "$work/game" | median)
  bm[$column]=$(cut -d' ' -f$column "$work/bare" | median)
done
printf '%-6s %10s %9s %9s %10s %9s %9s\n' median "${gm[1]}" "${gm[2]}" "${gm[3]}" "${bm[1]}" "${bm[2]}" "${bm[3]}"
awk -v g="${gm[1]}" -v b="${bm[1]}" -v gr="${gm[2]}" -v br="${bm[2]}" -v gp="${gm[3]}" -v bp="${bm[3]}" \
  'BEGIN {printf "game / bare: first window %.2fx (target 1.10x), RSS %.2fx (target 1.20x), PSS %.2fx\n", g/b, gr/br, gp/bp}'

"$watch" "$work/velmora" >"$work/out" 2>/dev/null
read -r pid _ <"$work/out"
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
echo "idle CPU over 10 s: $(( after - before )) clock ticks ($(getconf CLK_TCK) per second)"
kill -TERM "$pid"
while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
