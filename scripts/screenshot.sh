#!/usr/bin/env bash
# Makes docs/kestrun.png: the main window of kestrun-demo once the simulated processor is connected.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/kestrun-demo ] || bash scripts/build.sh
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" KESTRUN_SCREENSHOT=docs/kestrun.png KESTRUN_SCREENSHOT_DELAY=2500 \
  ./build/kestrun-demo 2>/dev/null
echo "docs/kestrun.png written"
