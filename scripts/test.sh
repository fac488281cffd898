#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
# The audio tests play through a private sound server with a null sink, unless PULSE_SERVER names one.
if [ -z "${PULSE_SERVER:-}" ]; then
  AUDIO_DIR="$(mktemp -d /tmp/kestrun-audio.XXXXXX)"
  ROOT="$(pwd)"
  trap 'bash "$ROOT/scripts/audio-server.sh" stop "$AUDIO_DIR"; rm -rf "$AUDIO_DIR"' EXIT
  if line="$(bash scripts/audio-server.sh start "$AUDIO_DIR")"; then
    export "$line"
  else
    echo "The audio server did not start (test_audio_server tells why)." >&2
  fi
fi
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"
