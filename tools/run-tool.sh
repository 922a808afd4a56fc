#!/usr/bin/env bash
# Starts the tool from a build folder: the window on a desktop, an unattended upload without one.
set -euo pipefail
build=${1:-build}
exe="$(cd "$build/bin" && pwd)/korvane"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi

echo "No display found: uploading memory and configuration from the module into $(pwd)"
echo "(the simulated module unless Interface > Configuration chose another interface)."
marker=$(mktemp)
trap 'rm -f "$marker"' EXIT
# The exit code is the byte count; the result line says whether the run succeeded.
status=0
result=$("$exe" /auto /silent /config) || status=$?
echo "$result"
echo "Files written:"
find . -maxdepth 1 -type f -newer "$marker" -name '*.csv' -printf '  %f\n' | sort
echo "To work in the window, run 'make run' (or $exe) on a desktop, where DISPLAY or WAYLAND_DISPLAY is set."
case "$result" in
  *" Bytes Uploaded") exit 0 ;;
  *) echo "The upload did not succeed (exit code $status)." >&2; exit 1 ;;
esac
