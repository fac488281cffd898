#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each from its seed corpus for
# FUZZ_SECONDS (default 30). New inputs are kept in build-fuzz/corpus-<name>/; a crash or a failed invariant
# stops the script with the reproducer in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${1:-${FUZZ_SECONDS:-30}}"
bash scripts/setup.sh
python3 fuzz/make_seeds.py
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKESTRUN_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_all
mkdir -p build-fuzz/crashes
# ASan holds back 16 MiB of freed memory (not 256): fresh pages for every run cost more than the run itself.
for src in fuzz/fuzz_*.cpp; do
  target="$(basename "$src" .cpp)"
  name="${target#fuzz_}"
  [ -x "build-fuzz/fuzz/$target" ] || continue
  mkdir -p "build-fuzz/corpus-$name"
  log="build-fuzz/fuzz-$name.log"
  echo "== $target for ${SECONDS_PER_TARGET}s"
  if ! (cd build-fuzz && ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=16 QT_QPA_PLATFORM=offscreen \
          "./fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
          -artifact_prefix=crashes/"$name"- "corpus-$name" "../fuzz/corpus/$name") >"$log" 2>&1; then
    tail -n 40 "$log"
    exit 1
  fi
  grep -E "^stat::(number_of_executed_units|average_exec_per_sec)" "$log"
done
