#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each from its seed corpus
# for FUZZ_SECONDS (default 60). A crash stops the script with the reproducer in build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_PER_TARGET="${FUZZ_SECONDS:-60}"
bash scripts/setup.sh
missing=()
for p in clang libclang-rt-14-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKESTRUN_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_replies fuzz_sim fuzz_files
for target in fuzz_replies fuzz_sim fuzz_files; do
  corpus="fuzz/corpus/${target#fuzz_}"
  work="build-fuzz/corpus-${target#fuzz_}"
  mkdir -p "$work"
  echo "== $target for ${SECONDS_PER_TARGET}s"
  (cd build-fuzz && ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen \
     "./fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -print_final_stats=1 \
     "../$work" "../$corpus" 2>&1 | tail -n 12)
done
