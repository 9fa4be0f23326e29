#!/usr/bin/env bash
# The whole suite, headless: core and widget tests offscreen, desktop tests
# in a private Xvfb with a window manager.
set -uo pipefail
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$build/test-artifacts"
status=0
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE desktop -j 2) || status=1
(cd "$build" && "$here/with-xvfb.sh" ctest --output-on-failure -L desktop) || status=1
exit $status
