#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Modra with the
# given arguments. Without arguments it opens the bundled demo scene in the
# editor, or, on a machine with no display, renders it to a movie instead.
set -euo pipefail
cd "$(dirname "$0")"

tools/install-packages.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
cmake --build "$build" --target modra
if [ $# -eq 0 ]; then
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/src/modra" examples/demo.knf
  fi
  echo "No display to open the editor on; rendering examples/demo.knf to build/demo.mpg instead."
  "$build/src/modra" render examples/demo.knf --frames all --format mpeg -o "$build/../demo.mpg"
  exit 0
fi
exec "$build/src/modra" "$@"
