#!/usr/bin/env bash
# Runs a command inside a private Xvfb display with the openbox window
# manager, and stops both afterwards, whatever the command's outcome.
set -uo pipefail
display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X${n}-lock" ] && [ ! -e "/tmp/.X11-unix/X${n}" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null
  kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break
  sleep 0.05
done
DISPLAY=$display openbox >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 1 100); do
  DISPLAY=$display xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
DISPLAY=$display "$@"
