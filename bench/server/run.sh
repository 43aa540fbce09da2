#!/usr/bin/env bash
# Load benchmark of velmora-server on loopback with wrk: requests per second
# and latency percentiles of the high score page and of score posts.
# Usage: bench/server/run.sh [path/to/velmora-server] [seconds] [connections]
# Targets on a 2-core machine: page >= 10,000 req/s, posts >= 2,000/s, p99 < 10 ms.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
binary=${1:-$top/build/server/velmora-server}
seconds=${2:-10}
connections=${3:-8}
threads=2

work=$(mktemp -d)
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$work"' EXIT

"$binary" --listen 127.0.0.1:0 --db "$work/scores.db" >"$work/out" 2>&1 &
server=$!
for _ in $(seq 50); do
  grep -q listening "$work/out" && break
  sleep 0.1
done
address=$(grep -o 'http://[0-9.:]*' "$work/out")

# A list worth rendering: 100 entries.
for i in $(seq 100); do
  curl -s -o /dev/null "$address/cgi-bin/velmora.cgi?name=Seed$i&date=1/5/09&score=$((i * 10))"
done

echo "=== high score page: $address/counter/velmora.shtml ==="
wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency "$address/counter/velmora.shtml"
echo
echo "=== score posts: $address/cgi-bin/velmora.cgi ==="
wrk -t"$threads" -c"$connections" -d"${seconds}s" --latency -s "$here/post.lua" "$address"
