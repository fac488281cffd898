#!/usr/bin/env bash
# Lists the writable data objects (nm types b, B, d, D) defined in the product libraries of the build folder
# given as $1 and fails on each one other than Qt's meta-objects, vtables, typeinfo and guard variables. Constant tables belong in read-only
# data: a table of pointers lands in relocated data (d) in position-independent code, and a static object built
# at run time in b. Run by CTest as "writable-data".
set -uo pipefail
build=${1:?usage: check-writable-data.sh BUILD_DIR}
libs=()
for d in link model tuning measure ui graph editing scenes app cli sim; do
  for a in "$build/$d"/*.a; do [ -e "$a" ] && libs+=("$a"); done
done
[ ${#libs[@]} -gt 0 ] || { echo "no product libraries under $build"; exit 1; }
found=$(for a in "${libs[@]}"; do nm -C --defined-only -A "$a"; done |
        grep -E ' [bBdD] ' | grep -vE 'staticMetaObject|vtable|typeinfo|guard variable|qt_meta')
if [ -n "$found" ]; then
  echo "writable data in the product libraries:"
  echo "$found"
  exit 1
fi
echo "no writable data in ${#libs[@]} product libraries"
