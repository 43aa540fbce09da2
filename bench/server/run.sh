#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Load benchmark of velmora-server on loopback with wrk: requests per second
# and latency percentiles of the high score page and of score posts, at 8 and
# 64 connections, kept alive and one request per connection (as the game's
# HTTP/1.0 requests are), then all of it again while 2,000 idle connections
# are held open (reopened as soon as the server closes one).
# Usage: bench/server/run.sh [path/to/velmora-server] [seconds]
#   SERVER_ARGS  extra arguments for the server (e.g. "--threads 2")
#   HOLDER       the connection holder (built as bench_server_hold_connections)
# Posts are answered only once on disk, so their rate follows the disk's
# flushes (bench/server/compare.sh sets two builds side by side).
# Targets on a 2-core machine: page >= 40,000 req/s, posts >= 10,000/s at 64
# connections, page p99 < 10 ms at 64 connections, unchanged with the idle
# connections held.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
binary=${1:-$top/build/plain/server/velmora-server}
seconds=${2:-10}
holder_binary=${HOLDER:-$top/build/plain/bench/server/bench_server_hold_connections}
idle=2000
threads=2

work=$(mktemp -d)
server=
holder=
cleanup() {
  for pid in $holder $server; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck disable=SC2086
"$binary" --listen 127.0.0.1:0 --post-rate 0 --db "$work/scores.db" ${SERVER_ARGS:-} >"$work/out" 2>&1 &
server=$!
for _ in $(seq 50); do
  grep -q listening "$work/out" && break
  sleep 0.1
done
address=$(grep -o 'http://[0-9.:]*' "$work/out")
port=${address##*:}

# A list worth rendering: 100 entries.
for i in $(seq 100); do
  curl -s -o /dev/null "$address/cgi-bin/velmora.cgi?name=Seed$i&date=1/5/09&score=$((i * 10))"
done

# One wrk run, summed up on one line: what, connections, rate, p50, p99, errors.
measure() {
  local what=$1 connections=$2
  shift 2
  local out
  out=$(wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency "$@" 2>&1)
  local rate p50 p99 errors
  rate=$(awk '/^Requests\/sec/ {print $2}' <<<"$out")
  p50=$(awk '$1 == "50%" {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  errors=$(grep -E 'Socket errors|Non-2xx' <<<"$out" | tr -s ' ' | paste -sd ';' - || true)
  printf '%-28s c=%-3s %10s req/s  p50 %-9s p99 %-9s %s\n' "$what" "$connections" "$rate" "$p50" "$p99" "$errors"
}

round() {
  local label=$1
  for connections in 8 64; do
    measure "$label page" "$connections" "$address/counter/velmora.shtml"
    measure "$label page, 1 per conn" "$connections" -H "Connection: close" "$address/counter/velmora.shtml"
    measure "$label posts" "$connections" -s "$here/post.lua" "$address"
    measure "$label posts, 1 per conn" "$connections" -H "Connection: close" -s "$here/post.lua" "$address"
  done
  # The page while 8 other connections post all the time: every post changes
  # the list, so this is the page cache at its worst.
  wrk -t1 -c8 -d"$((seconds + 1))s" -s "$here/post.lua" "$address" >/dev/null 2>&1 &
  local posting=$!
  measure "$label page while posting" 64 "$address/counter/velmora.shtml"
  wait "$posting"
}

round ""
"$holder_binary" "$port" "$idle" >"$work/holder" 2>"$work/holder.err" &
holder=$!
began=$SECONDS
for _ in $(seq 600); do
  grep -qs held "$work/holder" && break
  sleep 0.1
done
grep -qs held "$work/holder" || { echo "could not hold $idle connections within 60 s" >&2; cat "$work/holder.err" >&2; exit 1; }
echo "($idle idle connections open after $((SECONDS - began)) s)"
round "idle $idle:"
reopened=$(grep -c reopened "$work/holder.err" || true)
echo "(idle connections the server closed and the holder reopened: about $((reopened * 1000)))"
