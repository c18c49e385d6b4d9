#!/usr/bin/env bash
# Rebuilds the internal models (axis arrows, camera, light lamps) in
# src/view/internal_model_data.cpp from tools/modelgen/modelgen.cpp. Commit
# the result: the test modelgen.OutputIsCurrent fails while it is stale.
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/install-packages.sh

# A Debug build like the one the tests run, so that the check compares
# numbers computed by the same code.
build=build/modelgen
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMODRA_TESTS=OFF
cmake --build "$build" --target modelgen
"$build/tools/modelgen/modelgen" src/view/internal_model_data.cpp
