#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The update as a player meets it, on a real X display: a local velmora-server
# announces another version and serves the installer the build made; the
# panel appears, DONE downloads, verifies and installs, and the new program
# starts in the same folder with the old settings and tally. Measures the time
# from DONE to the new program's mapped window over several runs, then checks
# that a changed installer is refused.
# Usage: bench/app/update.sh BUILD-FOLDER [runs] [display]
#   (build the targets velmora, velmora-server, velmora-tally and velmorasetup first)
set -euo pipefail
build=$(realpath "$1")
runs=${2:-5}
display=${3:-}
source_folder=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
work=$(cd "$work" && pwd -P)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -TERM "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ -z "$display" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  display=:$n
fi
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
until xdotool getdisplaygeometry >/dev/null 2>&1; do sleep 0.05; done

start_server() { # INSTALLER
  "$build/server/velmora-server" --listen 127.0.0.1:0 --db "$work/scores.db" \
    --version-text 1.0.1 --installer "$1" >"$work/server.out" 2>&1 &
  server=$!
  pids+=($server)
  until grep -q listening "$work/server.out" 2>/dev/null; do sleep 0.05; done
  port=$(sed -n 's/.*:\([0-9]*\)$/\1/p' "$work/server.out")
}

# The visible main window of process $1 (waits up to 20 s).
window_of() {
  for _ in $(seq 400); do
    for w in $(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null); do
      if [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "$1" ]; then echo "$w"; return 0; fi
    done
    sleep 0.05
  done
  return 1
}

# Any visible main window of a process other than $1.
other_window() {
  for w in $(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null); do
    p=$(xdotool getwindowpid "$w" 2>/dev/null) || continue
    if [ "$p" != "$1" ]; then echo "$w $p"; return 0; fi
  done
  return 1
}

# Clicks at (x, y) of the window's client area.
click() { # WINDOW X Y
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + $2)) $((Y + $3)) click 1
}


new_game() {
  rm -rf "$work/game"
  mkdir -p "$work/game"
  cp "$build/app/velmora" "$work/game/velmora"
  printf '[velmora]\nTop=40\nLeft=60\nWidth=700\nHeight=620\nName=Ada\nSounds=no\nUpdate=true\nServer=http://127.0.0.1:%s\n' \
    "$port" >"$work/game/velmora.ini"
  "$build/tools/velmora-tally/velmora-tally" import "$source_folder/fuzz/tally/corpus/played.txt" \
    "$work/game/velmoratally.tld"
  cp "$work/game/velmora.ini" "$work/game/velmoratally.tld" "$work/"
}

# The y offset of the central widget: the menu bar's height, found once from
# a screenshot as the first row of the window colour under the menu.
done_x=$((2 + 4 + 133 + 33 + 63))
done_y_in_central=$((2 + 30 + 120 + 82 + 20))
start_x=$((2 + 4 + 448 + 63))
start_y_in_central=$((2 + 30 + 392 + 20))
menubar=${VELMORA_MENUBAR:-}

cp "$build/velmorasetup.exe" "$build/velmorasetup.exe.sig" "$work/"
start_server "$work/velmorasetup.exe"

times=()
downloads=()
for run in $(seq "$runs"); do
  new_game
  (cd "$work/game" && exec ./velmora >"$work/old.log" 2>&1) &
  old=$!
  pids+=($old)
  window=$(window_of $old) || fail "the old program showed no window"
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  sleep 1.5 # the version check answers
  if [ -z "$menubar" ]; then
    import -window "$window" "$work/shot.png"
    # First row, down the left edge at x=1, with the window colour (59, 89, 152).
    menubar=$(convert "$work/shot.png" -crop 1x100+1+0 txt:- |
      awk -F'[,: ]+' '/#3B5998/ && !found {print $2; found = 1}')
    [ -n "$menubar" ] || fail "cannot find the menu bar's height"
  fi
  # A game running and a moved window: either would reach the tally and the
  # settings if the old program saved anything on its way out.
  click "$window" "$start_x" $((menubar + start_y_in_central))
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool windowmove --sync "$window" $((X + 15)) $((Y + 10)) 2>/dev/null || true
  sleep 0.3
  if [ "$run" = 1 ]; then
    import -window "$window" "$work/offer.png"
    cp "$work/offer.png" "${VELMORA_SHOTS:-$work}/update-offer.png" 2>/dev/null || true
    xdotool getwindowgeometry "$window"
  fi
  start=$(date +%s%N)
  click "$window" "$done_x" $((menubar + done_y_in_central))
  found=
  ended=
  for _ in $(seq 4000); do
    # Our child lingers as a zombie until it is waited for.
    if [ -z "$ended" ] && [ "$(cut -d' ' -f3 /proc/$old/stat 2>/dev/null || echo Z)" = Z ]; then
      ended=$(date +%s%N)
    fi
    if found=$(other_window $old); then break; fi
    sleep 0.005
  done
  end=$(date +%s%N)
  [ -n "$ended" ] || ended=$end
  [ -n "$found" ] || fail "no new program window after DONE (old log: $(cat "$work/old.log"))"
  wait $old && code=0 || code=$?
  [ "$code" = 0 ] || fail "the old program ended with $code"
  newpid=${found#* }
  pids+=($newpid)
  times+=($(((end - start) / 1000000)))
  downloads+=($(((ended - start) / 1000000)))
  [ "$(readlink /proc/$newpid/exe)" = "$work/game/velmora" ] || fail "the new program is not the installed one"
  cmp -s "$work/game/velmora" "$build/app/velmora" || fail "the installed program differs from the build's"
  cmp -s "$work/game/velmora.ini" "$work/velmora.ini" || fail "the settings changed"
  cmp -s "$work/game/velmoratally.tld" "$work/velmoratally.tld" || fail "the tally changed"
  eval "$(xdotool getwindowgeometry --shell "${found% *}")"
  echo "run $run: new program $newpid at ${X},${Y} size ${WIDTH}x${HEIGHT} (client area)"
  kill -TERM "$newpid"
  while kill -0 "$newpid" 2>/dev/null; do sleep 0.05; done
done
printf 'DONE to the old program'"'"'s end (download, verify, start the installer; ms): %s\n' "${downloads[*]}"
printf 'DONE to the new program'"'"'s mapped window (ms): %s\n' "${times[*]}"
printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print "median (ms):", a[int((NR+1)/2)]}'

# A changed installer with the old signature is refused: the program keeps
# running from its own name, and the download is gone.
kill -TERM "$server"; wait "$server" 2>/dev/null || true
cp "$build/velmorasetup.exe" "$work/tampered.exe"
cp "$build/velmorasetup.exe.sig" "$work/tampered.exe.sig"
printf '\necho changed\n' >>"$work/tampered.exe"
start_server "$work/tampered.exe"
new_game
(cd "$work/game" && exec ./velmora >"$work/old.log" 2>&1) &
old=$!
pids+=($old)
window=$(window_of $old) || fail "the program showed no window"
sleep 1.5
click "$window" "$done_x" $((menubar + done_y_in_central))
# Refused once the program is back under its own name (or 20 s have passed).
for _ in $(seq 200); do
  [ -e "$work/game/velmora" ] && break
  sleep 0.1
done
sleep 1
import -window "$window" "$work/refused.png"
cp "$work/refused.png" "${VELMORA_SHOTS:-$work}/update-refused.png" 2>/dev/null || true
kill -0 $old 2>/dev/null || fail "the program ended after a changed installer"
other_window $old >/dev/null && fail "a program was started from a changed installer"
[ -x "$work/game/velmora" ] || fail "the program was not put back under its name: $(ls -a "$work/game")"
[ ! -e "$work/game/velmorasetup.exe" ] || fail "the refused installer was kept"
echo "changed installer refused; program still running and back under its name"
