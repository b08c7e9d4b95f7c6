#!/usr/bin/env bash
# A private PulseAudio server with one virtual output, for the audio tests.
#
#   scripts/virtual_sound.sh start [DIR]   starts it; prints the lines to
#                                          export and writes them to DIR/env
#   scripts/virtual_sound.sh stop [DIR]    stops the server started in DIR
#
# DIR defaults to build/pulse-runtime under the repository. Use it as:
#   eval "$(scripts/virtual_sound.sh start "$BUILD/pulse-runtime")"
#   ... run the tests ...
#   scripts/virtual_sound.sh stop "$BUILD/pulse-runtime"
#
# The sink is a null sink that plays at real-time speed; norewinds=1 keeps
# it from running ahead of the clock. Works as root: the server gets its
# own HOME and runtime folders and no session bus.
set -euo pipefail

cmd="${1:-}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="${2:-$here/build/pulse-runtime}"

start() {
  command -v pulseaudio >/dev/null || { echo "virtual_sound: pulseaudio is not installed" >&2; exit 1; }
  mkdir -p "$dir"
  dir="$(cd "$dir" && pwd)"
  if [ -f "$dir/pid" ] && kill -0 "$(cat "$dir/pid")" 2>/dev/null; then
    stop
  fi
  rm -rf "$dir/runtime" "$dir/home" "$dir/xdg" "$dir/native"
  mkdir -p "$dir/runtime" "$dir/home" "$dir/xdg"
  chmod 700 "$dir/runtime" "$dir/xdg"
  cat >"$dir/server.pa" <<EOF
load-module module-null-sink sink_name=velmo_null sink_properties=device.description=Velmo_virtual_output rate=44100 channels=2 norewinds=1
load-module module-native-protocol-unix auth-anonymous=1 socket=$dir/native
set-default-sink velmo_null
EOF
  HOME="$dir/home" XDG_RUNTIME_DIR="$dir/xdg" PULSE_RUNTIME_PATH="$dir/runtime" \
    pulseaudio --daemonize=yes --exit-idle-time=-1 --disallow-exit --disallow-module-loading \
    --use-pid-file=yes -n -F "$dir/server.pa" --log-target=file:"$dir/server.log" </dev/null
  # The socket appears once the server is ready (about 30 ms).
  for _ in $(seq 1 200); do
    [ -S "$dir/native" ] && [ -f "$dir/runtime/pid" ] && break
    sleep 0.01
  done
  if [ ! -S "$dir/native" ] || [ ! -f "$dir/runtime/pid" ]; then
    echo "virtual_sound: the server did not start; see $dir/server.log" >&2
    exit 1
  fi
  cp "$dir/runtime/pid" "$dir/pid"
  {
    echo "export PULSE_RUNTIME_PATH=$dir/runtime"
    echo "export PULSE_SERVER=unix:$dir/native"
  } >"$dir/env"
  cat "$dir/env"
}

stop() {
  [ -f "$dir/pid" ] || return 0
  local pid
  pid="$(cat "$dir/pid")"
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid"
    for _ in $(seq 1 100); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.02
    done
    kill -0 "$pid" 2>/dev/null && kill -9 "$pid"
  fi
  rm -f "$dir/pid" "$dir/env"
}

case "$cmd" in
  start) start ;;
  stop) stop ;;
  *)
    echo "usage: $0 start|stop [DIR]" >&2
    exit 2
    ;;
esac
