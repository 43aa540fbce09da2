#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up time of the game: from launching the program to its main window
# being mapped on an X display, over several runs, and its CPU use while it
# sits idle with no game running.
# Usage: bench/app/startup.sh path/to/velmora [runs]
set -euo pipefail
binary=$(realpath "$1")
runs=${2:-10}
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null && wait $xvfb 2>/dev/null; rm -rf "$work"' EXIT
cp "$binary" "$work/velmora"

# The first display number that no X server holds.
n=90
while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
display=:$n
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.05; done

# Waits until the main window is mapped, or fails when the program died.
wait_for_window() {
  until xdotool search --onlyvisible --name '^Velmora$' >/dev/null 2>&1; do
    kill -0 "$1" 2>/dev/null || { echo "velmora exited before showing its window:" >&2; cat "$work/log" >&2; exit 1; }
    sleep 0.005
  done
}

times=()
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  "$work/velmora" >"$work/log" 2>&1 &
  pid=$!
  wait_for_window $pid
  end=$(date +%s%N)
  times+=($(( (end - start) / 1000000 )))
  kill -TERM $pid; wait $pid 2>/dev/null || true
done
printf 'start-up to a mapped window (ms): %s\n' "${times[*]}"
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "median (ms):", a[int((NR+1)/2)]}'

"$work/velmora" >/dev/null 2>&1 &
pid=$!
wait_for_window $pid
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep 10
after=$(ticks)
echo "idle CPU over 10 s: $(( after - before )) clock ticks ($(getconf CLK_TCK) per second)"
kill -TERM $pid; wait $pid 2>/dev/null || true
