#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Two builds of velmora-server side by side on loopback with wrk: score posts
# and the high score page, kept-alive connections, 8 and 64 of them. Each
# build gets a fresh SQLite database in the same folder's file system, and
# the builds take turns ROUNDS times, so that a busy moment of the machine
# does not fall on one of them only; every run's figures are printed.
# Posts are acknowledged only once on disk (the journal flushed), so their
# rate is bound by how many flushes the disk takes at once.
# Usage: bench/server/compare.sh OLD NEW [seconds]
#   ROUNDS (default 2), CONNECTIONS (default "8 64"), WORK (folder for the
#   databases; default a temporary folder beside the others)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
old=$1
new=$2
seconds=${3:-5}
rounds=${ROUNDS:-2}
connection_counts=${CONNECTIONS:-8 64}
work=$(mktemp -d ${WORK:+-p "$WORK"})
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Starts `binary` on a fresh database and a free port; sets server and address.
start() {
  local binary=$1
  rm -rf "$work/db" && mkdir "$work/db"
  "$binary" --listen 127.0.0.1:0 --db "$work/db/scores.db" --threads 2 >"$work/out" 2>&1 &
  server=$!
  for _ in $(seq 50); do
    grep -q listening "$work/out" && break
    sleep 0.1
  done
  address=$(grep -o 'http://[0-9.:]*' "$work/out")
  for i in $(seq 100); do
    curl -s -o /dev/null "$address/cgi-bin/velmora.cgi?name=Seed$i&date=1/5/09&score=$((i * 10))"
  done
}

stop() {
  kill "$server"
  wait "$server" 2>/dev/null || true
  server=
}

# One wrk run on one line: rate, p50, p99, errors.
measure() {
  local out rate p50 p99 errors
  out=$(wrk -t2 -c"$1" -d"${seconds}s" --latency "${@:2}" 2>&1)
  rate=$(awk '/^Requests\/sec/ {print $2}' <<<"$out")
  p50=$(awk '$1 == "50%" {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  errors=$(grep -E 'Socket errors|Non-2xx' <<<"$out" | tr -s ' ' | paste -sd ';' - || true)
  printf '%10s req/s  p50 %-9s p99 %-9s %s' "$rate" "$p50" "$p99" "$errors"
}

for round in $(seq "$rounds"); do
  for build in old new; do
    binary=${!build}
    start "$binary"
    for connections in $connection_counts; do
      printf 'round %s %-4s posts c=%-3s %s\n' "$round" "$build" "$connections" \
        "$(measure "$connections" -s "$here/post.lua" "$address")"
      printf 'round %s %-4s page  c=%-3s %s\n' "$round" "$build" "$connections" \
        "$(measure "$connections" "$address/counter/velmora.shtml")"
    done
    stop
  done
done
