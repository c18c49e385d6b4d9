#!/usr/bin/env bash
# Pictures of the main window in each edit mode, with the demo scene
# loaded, written to build/screenshots/ (one PNG per mode), the spline
# editor, the two profile editors, the visual browser, the dialogs, then
# the Render Options dialog and the render window. Builds the GUI test
# binary first if needed; runs under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-packages.sh
build=build/debug
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMODRA_SANITIZE=ON -DMODRA_TESTS=ON \
    -DMODRA_WERROR=ON
fi
cmake --build "$build" --target modra_gui_tests
out="$PWD/build/screenshots"
mkdir -p "$out"
MODRA_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 \
  ASAN_OPTIONS="detect_leaks=0:${ASAN_OPTIONS:-}" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/gui/modra_gui_tests"
ls "$out"/*.png
