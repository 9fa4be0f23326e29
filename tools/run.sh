#!/usr/bin/env bash
# Opens the program, or says how when there is no display.
set -euo pipefail
exe=$1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display here, so the window cannot open." >&2
  echo "With a desktop session, run: $exe" >&2
  echo "Without one, under a virtual display: xvfb-run -a $exe" >&2
  exit 1
fi
exec "$exe"
