#!/usr/bin/env bash
# Runs every benchmark binary of a build made with QUELLBO_BENCH=ON.
set -euo pipefail
build=${1:-build-bench}
status=0
found=0
for bench in "$build"/bench/*_bench; do
  [ -x "$bench" ] || continue
  found=1
  echo "== $(basename "$bench")"
  "$bench" || status=1
done
if [ "$found" -eq 0 ]; then
  echo "no benchmark binaries in $build/bench" >&2
  exit 1
fi
exit $status
