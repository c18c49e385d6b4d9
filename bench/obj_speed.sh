#!/bin/bash
# Whole-process times of `modra convert` of the 1,000,000-triangle Wavefront
# file that obj_import_bench writes (/tmp/modra-obj-bench-1m.obj) to a
# native file: this tree's release build against the commit it branched
# from (built once into build/obj-speed), and a process that imports the same file
# with the assimp library. Best of RUNS rounds, taken in turn so that a
# busy machine slows all three alike; run it on a quiet machine.
#   bench/obj_speed.sh                 RUNS=11 BASE=<commit> bench/obj_speed.sh
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-7}
jobs=${JOBS:-2}
base=$(git -C "$here" rev-parse --short "${BASE:-$(git -C "$here" merge-base HEAD main)}")
# Inside the build folder, so that the compiler cache serves the older
# build as it serves this one.
cache=${CACHE:-$here/build/obj-speed}
model=/tmp/modra-obj-bench-1m.obj
mkdir -p "$cache"

release() {  # source folder, targets...
  local src=$1
  shift
  cmake -S "$src" -B "$src/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON \
    -DMODRA_TESTS=OFF >/dev/null
  cmake --build "$src/build/release" -j"$jobs" --target "$@" >/dev/null
}

echo "building this tree and $base (once) ..." >&2
release "$here" modra obj_import_bench
new=$here/build/release/src/modra
old_src=$cache/base-$base
old=$old_src/build/release/src/modra
if [ ! -x "$old" ]; then
  rm -rf "$old_src"
  mkdir -p "$old_src"
  git -C "$here" archive "$base" | tar -x -C "$old_src"
  release "$old_src" modra
fi

# A process that does what "assimp's import" means here: read the file
# into an aiScene with the steps Modra's own assimp reader asks for
# (src/formats/assimp_reader.cpp), as an exchange format would be read.
assimp=$cache/assimp_import
if [ ! -x "$assimp" ]; then
  cat >"$cache/assimp_import.cpp" <<'EOF'
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
int main(int argc, char** argv) {
  Assimp::Importer importer;
  const unsigned flags = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                         aiProcess_DropNormals | aiProcess_SortByPType |
                         aiProcess_ValidateDataStructure;
  const aiScene* scene = argc > 1 ? importer.ReadFile(argv[1], flags) : nullptr;
  return scene && scene->mNumMeshes > 0 ? 0 : 1;
}
EOF
  g++ -O2 -std=c++20 -o "$assimp" "$cache/assimp_import.cpp" -lassimp
fi

[ -f "$model" ] || "$here/build/release/bench/obj_import_bench" >/dev/null

# Both builds must write the same native file.
"$old" convert "$model" "$cache/old.knf"
"$new" convert "$model" "$cache/new.knf"
if ! cmp -s "$cache/old.knf" "$cache/new.knf"; then
  echo "the two builds write different files" >&2
  exit 1
fi

best_old=0 best_new=0 best_assimp=0
time_ns() {  # command... ; prints nanoseconds
  local t0 t1
  t0=$(date +%s%N)
  "$@" >/dev/null
  t1=$(date +%s%N)
  echo $((t1 - t0))
}
keep() {  # best so far, new time
  if [ "$1" -eq 0 ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi
}
for ((i = 0; i < runs; ++i)); do
  best_old=$(keep "$best_old" "$(time_ns "$old" convert "$model" "$cache/old.knf")")
  best_new=$(keep "$best_new" "$(time_ns "$new" convert "$model" "$cache/new.knf")")
  best_assimp=$(keep "$best_assimp" "$(time_ns "$assimp" "$model")")
done

seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f s", ns / 1e9 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "modra convert $(basename "$model") ($(du -m "$model" | cut -f1) MB) to .knf, best of $runs:"
printf '  %-18s %s\n' "before ($base)" "$(seconds "$best_old")" "now" "$(seconds "$best_new")" \
  "assimp import" "$(seconds "$best_assimp")" "now / before" "$(ratio "$best_new" "$best_old")" \
  "assimp / now" "$(ratio "$best_assimp" "$best_new")x"
