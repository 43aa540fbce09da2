#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Load benchmark of velmora-server on loopback with wrk: requests per second
# and 99th-percentile latency of the high score page and of score posts, for
# each storage engine (SQLite, PostgreSQL), one and two server instances, and
# 8 and 64 connections. Two instances share one database, as behind a load
# balancer: each gets its own wrk with half of the connections, and the rates
# are added up (p99 is the worse of the two).
# PostgreSQL runs as a throwaway server in a temporary folder, with its
# ordinary durability settings; as root it is run as the "postgres" user.
# Usage: bench/server/engines.sh [path/to/velmora-server] [seconds]
#   ENGINES="sqlite postgresql" INSTANCES="1 2" CONNECTIONS="8 64" narrow it.
# Targets on a 2-core machine: page >= 20,000 req/s, posts >= 5,000/s, p99 < 10 ms.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
binary=${1:-$top/build/plain/server/velmora-server}
seconds=${2:-5}
engines=${ENGINES:-sqlite postgresql}
instance_counts=${INSTANCES:-1 2}
connection_counts=${CONNECTIONS:-8 64}

work=$(mktemp -d)
chmod 711 "$work"  # the database server, run as another user, reaches its folder inside
servers=()
pg_bin=
cleanup() {
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  if [ -n "$pg_bin" ]; then as_pg "$pg_bin/pg_ctl" -D "$work/pg/data" -m fast -w stop >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

as_pg() { if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }

start_postgres() {
  local bin
  bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)
  mkdir -p "$work/pg"
  [ "$(id -u)" -eq 0 ] && chown postgres: "$work/pg"
  as_pg "$bin/initdb" -D "$work/pg/data" -U postgres -E UTF8 --locale=C -A trust >/dev/null
  pg_bin=$bin
  as_pg "$bin/pg_ctl" -D "$work/pg/data" -l "$work/pg/log" -w \
    -o "-k $work/pg -c listen_addresses= -c max_connections=200" start >/dev/null
}

# Prints a --db value for a new, empty database of `engine`.
new_database() {
  local engine=$1 name=$2
  if [ "$engine" = sqlite ]; then
    echo "$work/$name.db"
  else
    as_pg "$pg_bin/createdb" -h "$work/pg" -U postgres "$name"
    echo "postgresql://postgres@$(printf %s "$work/pg" | sed 's|/|%2F|g')/$name"
  fi
}

# Starts an instance on `database` and adds its address to `addresses`. Not
# run in a subshell: `servers` must keep its process id for the clean-up.
start_server() {
  local database=$1 out="$work/server${#servers[@]}.out"
  "$binary" --listen 127.0.0.1:0 --post-rate 0 --db "$database" >"$out" 2>&1 &
  servers+=($!)
  for _ in $(seq 50); do
    grep -q listening "$out" && break
    sleep 0.1
  done
  addresses+=("$(grep -o 'http://[0-9.:]*' "$out")")
}

stop_servers() {
  for pid in "${servers[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  servers=()
}

# wrk's "Requests/sec" and its 99% latency in ms, from its output file.
rate_of() { awk '/Requests\/sec/ {print $2}' "$1"; }
p99_of() {
  awk '$1 == "99%" {
    v = $2; unit = v; sub(/[0-9.]+/, "", unit); sub(/[a-z]+$/, "", v);
    if (unit == "us") v /= 1000; else if (unit == "s") v *= 1000; else if (unit == "m") v *= 60000;
    printf "%.2f", v }' "$1"
}

# Runs wrk against every address at once, splitting `connections`; prints
# "rate p99".
load() {
  local what=$1 connections=$2; shift 2
  local addresses=("$@") n=$# i=0 pids=()
  local each=$((connections / n))
  for address in "${addresses[@]}"; do
    if [ "$what" = page ]; then
      wrk -t1 -c"$each" -d"${seconds}s" --latency "$address/counter/velmora.shtml" >"$work/wrk$i" &
    else
      wrk -t1 -c"$each" -d"${seconds}s" --latency -s "$here/post.lua" "$address" >"$work/wrk$i" &
    fi
    pids+=($!)
    i=$((i + 1))
  done
  wait "${pids[@]}"
  local rate=0 p99=0
  for ((i = 0; i < n; i++)); do
    rate=$(awk -v a="$rate" -v b="$(rate_of "$work/wrk$i")" 'BEGIN {printf "%.0f", a + b}')
    p99=$(awk -v a="$p99" -v b="$(p99_of "$work/wrk$i")" 'BEGIN {print (b > a ? b : a)}')
  done
  echo "$rate $p99"
}

printf '%-11s %-9s %-11s %-6s %10s %9s\n' engine instances connections what req/s p99_ms
run=0
for engine in $engines; do
  [ "$engine" = postgresql ] && [ -z "$pg_bin" ] && start_postgres
  for instances in $instance_counts; do
    for connections in $connection_counts; do
      run=$((run + 1))
      database=$(new_database "$engine" "bench$run")
      addresses=()
      for ((k = 0; k < instances; k++)); do start_server "$database"; done
      # A list worth rendering: 100 entries.
      for i in $(seq 100); do
        curl -s -o /dev/null "${addresses[0]}/cgi-bin/velmora.cgi?name=Seed$i&date=1/5/09&score=$((i * 10))"
      done
      for what in page posts; do
        read -r rate p99 < <(load "$what" "$connections" "${addresses[@]}")
        printf '%-11s %-9s %-11s %-6s %10s %9s\n' "$engine" "$instances" "$connections" "$what" "$rate" "$p99"
      done
      stop_servers
    done
  done
done
