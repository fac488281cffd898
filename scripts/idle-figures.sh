#!/usr/bin/env bash
# Idle figures: CPU (% of one core) and wake-ups per second (voluntary context switches of all threads, from
# /proc) of `kestrun` with nothing attached, and the demo's own figures (connected idle, plug-in to connected).
# Usage: scripts/idle-figures.sh [build folder, default build] [seconds, default 20] [plug-in runs, default 10]
set -euo pipefail
BUILD=${1:-build}
SECS=${2:-20}
RUNS=${3:-10}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# CPU time of all threads in nanoseconds.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s}'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ {s += $2} END {print s}'; }

"$BUILD/kestrun" >/dev/null 2>&1 &
PID=$!
trap 'kill "$PID" 2>/dev/null || true' EXIT
sleep 3  # start-up is not idling
c0=$(cpu_ns "$PID"); s0=$(switches "$PID")
sleep "$SECS"
c1=$(cpu_ns "$PID"); s1=$(switches "$PID")
kill "$PID"; wait "$PID" 2>/dev/null || true
trap - EXIT
awk -v c="$((c1 - c0))" -v s="$((s1 - s0))" -v n="$SECS" \
  'BEGIN {printf "kestrun, nothing attached: %.2f %% of one core, %.1f wake-ups/s over %d s\n", c / 1e7 / n, s / n, n}'

KESTRUN_FIGURES=$SECS "$BUILD/kestrun-demo" 2>/dev/null | grep -E "idle"
for _ in $(seq "$RUNS"); do
  KESTRUN_FIGURES=1 "$BUILD/kestrun-demo" 2>/dev/null | sed -n 's/^plug-in to connected.*: \([0-9]*\) ms$/\1/p'
done | sort -n | awk '{v[NR] = $1} END {m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
  printf "kestrun-demo, plug-in to connected with names read: median %s ms of %d runs (%s .. %s)\n", m, NR, v[1], v[NR]}'
