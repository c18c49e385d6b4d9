#!/usr/bin/env bash
# Installs what is missing, builds a Debug build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

# Slurm and munge for the test that runs the farm example on a cluster of one.
tools/install-packages.sh --slurm

build=build/debug
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMODRA_SANITIZE=ON -DMODRA_TESTS=ON \
  -DMODRA_WERROR=ON
cmake --build "$build"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

# glTF exports of the demo scene and a few models, checked by the Khronos
# validator, which is fetched from npm once into the build folder.
npm=build/npm
[[ -d $npm/node_modules/gltf-validator ]] ||
  npm install --silent --prefix "$npm" gltf-validator@2.0.0-dev.3.10
gltf=$build/gltf-check
rm -rf "$gltf" && mkdir -p "$gltf"
models=../shared/testdata/models
"$build/src/modra" convert examples/demo.knf "$gltf/demo.glb"
"$build/src/modra" convert examples/demo.knf "$gltf/demo.gltf"
for model in obj/box.obj 3ds/RotatingCube.3DS 3ds/CameraRollAnimWithChildObject.3ds \
  cob/molecule.cob; do
  [[ -f $models/$model ]] || continue
  name=$(basename "$model")
  "$build/src/modra" convert "$models/$model" "$gltf/${name%.*}.glb"
done
MODRA_NPM_PREFIX="$PWD/$npm" node tools/gltf_validate.mjs "$gltf"/*.glb "$gltf"/*.gltf
