#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
BUILD_DIR=build-asan bash scripts/build.sh -DKESTRUN_SANITIZE=ON
cd build-asan
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/../tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The accuracy runs are numerics alone, measured in the plain suite; under the sanitizers they take half an hour.
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" -E test_measure_accuracy
