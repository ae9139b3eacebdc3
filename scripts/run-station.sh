#!/usr/bin/env bash
# Installs what the station needs, builds it and starts it against the built-in simulated head.
# Extra arguments go to the station, e.g. --simulate=4x4x64 or --trace head.trace.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake --preset default
cmake --build build -j"$(nproc)"
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(--simulate)
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running the station on a virtual X display (xvfb-run)." >&2
  exec xvfb-run -a -s "-screen 0 1920x1080x24" ./build/src/app/stenvikplus "${args[@]}"
fi
exec ./build/src/app/stenvikplus "${args[@]}"
