#!/usr/bin/env bash
# Line coverage of the link, tuning and file code by the fuzz corpus: builds the fuzz targets with clang's
# source-based coverage into build-coverage/, runs each over its seed corpus and the inputs kept by earlier
# fuzz runs (build-fuzz/corpus-*), merges the profiles and prints llvm-cov's report (per file and in total).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
tool() { command -v "$1" || command -v "$1-14"; }
python3 fuzz/make_seeds.py
flags="-fprofile-instr-generate -fcoverage-mapping"
CC=clang CXX=clang++ cmake -S . -B build-coverage -DKESTRUN_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" >/dev/null
cmake --build build-coverage -j"$(nproc)" --target fuzz_base
rm -rf build-coverage/profiles && mkdir -p build-coverage/profiles
objects=()
for src in fuzz/fuzz_*.cpp; do
  target="$(basename "$src" .cpp)"
  name="${target#fuzz_}"
  [ -x "build-coverage/fuzz/$target" ] || continue  # the simulator's target is not built here
  dirs=("fuzz/corpus/$name")
  [ -d "build-fuzz/corpus-$name" ] && dirs+=("build-fuzz/corpus-$name")
  LLVM_PROFILE_FILE="build-coverage/profiles/$name-%p.profraw" ASAN_OPTIONS=detect_leaks=0 \
    "build-coverage/fuzz/$target" -runs=0 "${dirs[@]}" >/dev/null 2>&1
  objects+=(-object "build-coverage/fuzz/$target")
done
"$(tool llvm-profdata)" merge -sparse build-coverage/profiles/*.profraw -o build-coverage/fuzz.profdata
"$(tool llvm-cov)" report "${objects[@]:1}" -instr-profile=build-coverage/fuzz.profdata \
  "$PWD/link" "$PWD/tuning"
