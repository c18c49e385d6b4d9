#!/usr/bin/env bash
# Rebuilds the bundled demo scene: examples/demo.knf and its floor texture
# examples/marble.ppm. Run it after changing tools/demogen or anything the
# scene is made with (generators, fonts, the native writer); the test
# demogen.ExamplesAreCurrent fails until the new files are committed.
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/install-packages.sh

build=build/demogen
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
cmake --build "$build" --target demogen
mkdir -p examples
"$build/tools/demogen/demogen" examples
