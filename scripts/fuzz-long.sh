#!/usr/bin/env bash
# Runs every fuzz target for a chosen time (seconds per target, default 600), one after the other, from the
# seed corpus and the inputs kept by earlier runs; then prints per target the inputs run and the inputs per
# second of CPU time (the wall-clock rate of a shared machine says little).
# Usage: bash scripts/fuzz-long.sh [seconds]. A crash stops the script with its reproducer in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${1:-600}"
bash scripts/fuzz.sh 1 >/dev/null
summary=()
TIMEFORMAT='%3U %3S'
for src in fuzz/fuzz_*.cpp; do
  target="$(basename "$src" .cpp)"
  name="${target#fuzz_}"
  [ -x "build-fuzz/fuzz/$target" ] || continue
  log="build-fuzz/long-$name.log"
  echo "== $target for ${SECONDS_PER_TARGET}s (log: $log)"
  if ! cpu=$( { time (cd build-fuzz && ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16 QT_QPA_PLATFORM=offscreen \
      "./fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 -artifact_prefix=crashes/"$name"- \
      "corpus-$name" "../fuzz/corpus/$name" >"../$log" 2>&1); } 2>&1 ); then
    tail -n 30 "$log"
    exit 1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  rate="$(python3 -c "u, s = '$cpu'.split(); print(round($runs / max(float(u) + float(s), 0.001)))")"
  summary+=("$(printf '%-18s %12s inputs  %8s inputs/s (CPU)' "$target" "$runs" "$rate")")
done
printf '%s\n' "${summary[@]}"
