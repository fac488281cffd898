#!/usr/bin/env bash
# A private PulseAudio server with a null sink, for the tests that play and record through PortAudio.
#   audio-server.sh start DIR   starts it with DIR as its home and runtime folder; prints PULSE_SERVER=...
#   audio-server.sh stop DIR    stops it
# It runs as any user, also as root without a session bus, and needs no kernel modules: the null sink
# "kestrun_null" plays into nothing and its monitor source records what was played, both channels sample
# for sample (float, 48 kHz). PortAudio reaches it through ALSA's pulse plugin (libasound2-plugins).
set -euo pipefail
cmd="${1:-}"
dir="${2:-}"
[ -n "$cmd" ] && [ -n "$dir" ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
export HOME="$dir" XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir/pulse" PULSE_STATE_PATH="$dir/state"
unset PULSE_SERVER
case "$cmd" in
start)
  command -v pulseaudio >/dev/null || { echo "pulseaudio is not installed (scripts/setup.sh installs it)" >&2; exit 1; }
  mkdir -p "$dir/.config/pulse" "$dir/pulse" "$dir/state"
  chmod 700 "$dir" "$dir/pulse"
  cat >"$dir/.config/pulse/daemon.conf" <<'CONF'
default-sample-format = float32le
default-sample-rate = 48000
alternate-sample-rate = 44100
default-sample-channels = 2
avoid-resampling = yes
flat-volumes = no
CONF
  if ! pulseaudio --daemonize=yes --system=false -n --exit-idle-time=-1 --disallow-exit=no \
        --use-pid-file=yes --log-target="file:$dir/pulseaudio.log" \
        --load="module-null-sink sink_name=kestrun_null format=float32le rate=48000 channels=2" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/pulse/native" \
        --load="module-always-sink"; then
    echo "pulseaudio did not start:" >&2
    tail -n 5 "$dir/pulseaudio.log" >&2 || true
    exit 1
  fi
  export PULSE_SERVER="unix:$dir/pulse/native"
  for _ in $(seq 1 50); do
    if pactl info >/dev/null 2>&1; then
      pactl set-default-sink kestrun_null
      pactl set-default-source kestrun_null.monitor
      pactl set-sink-volume kestrun_null 100%
      pactl set-source-volume kestrun_null.monitor 100%
      echo "PULSE_SERVER=$PULSE_SERVER"
      exit 0
    fi
    sleep 0.2
  done
  echo "pulseaudio started but does not answer on $PULSE_SERVER:" >&2
  tail -n 5 "$dir/pulseaudio.log" >&2 || true
  exit 1
  ;;
stop)
  if [ -f "$dir/pulse/pid" ]; then
    pid="$(cat "$dir/pulse/pid")"
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  fi
  ;;
*) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
