#!/usr/bin/env bash
# Starts the tool from a build folder: the window on a desktop, an unattended upload without one.
set -euo pipefail
build=${1:-build}
exe="$build/bin/korvane"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi
echo "No display found: running the unattended upload from the simulated module into $(pwd)."
"$exe" /auto /silent /config
