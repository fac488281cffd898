#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need; skips what is there.
set -euo pipefail
PACKAGES=(g++ make cmake pkg-config qtbase5-dev qtbase5-dev-tools libhidapi-dev
          fonts-wqy-microhei libbenchmark-dev ccache libnlopt-cxx-dev libudev-dev libfftw3-dev
          clang libclang-rt-14-dev llvm python3  # fuzzing and coverage (scripts/fuzz.sh, coverage.sh)
          help2man dpkg-dev poppler-utils qttranslations5-l10n  # manual page, package, sheet test, Qt's texts
          libsndfile1-dev portaudio19-dev  # measuring: impulse files, sound cards
          pulseaudio pulseaudio-utils libasound2-plugins)  # the tests' sound server (scripts/audio-server.sh)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
