#!/usr/bin/env bash
# Installs what is missing, builds a Release build and starts Modra on the
# given file (or the bundled demo scene).
set -euo pipefail
cd "$(dirname "$0")"

tools/install-packages.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
cmake --build "$build" --target modra
exec "$build/src/modra" "$@"
