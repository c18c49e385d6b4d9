#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Modra with the
# given arguments. Without arguments it renders the bundled demo scene to a
# movie (the editor window, which will open it instead, is still to come).
set -euo pipefail
cd "$(dirname "$0")"

tools/install-packages.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
cmake --build "$build" --target modra
if [ $# -eq 0 ]; then
  "$build/src/modra" render examples/demo.knf --frames all --format mpeg -o "$build/../demo.mpg"
  echo "Rendered examples/demo.knf to build/demo.mpg"
  exit 0
fi
exec "$build/src/modra" "$@"
