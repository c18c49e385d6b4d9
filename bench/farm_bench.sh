#!/usr/bin/env bash
# How much a render gains from being split over the cores: the demo scene at
# 640x480 with 2x oversampling and 4 motion-blur samples, rendered by one
# process, then by examples/farm/render-here.sh as 2 shares side by side
# (xargs -P 2) joined into one movie. Mesa's software rasteriser already
# spreads part of one process's drawing over the cores, so the one process
# runs twice: as it comes, and held to one core (LP_NUM_THREADS=1) as each
# share is. Prints the wall times (the join included), the speed-ups and the
# load average before each run, which other work on the machine spoils.
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
#   cmake --build build/release --target modra && bench/farm_bench.sh [MODRA] [FRAMES]
# FRAMES is a --frames range (all).
set -euo pipefail
cd "$(dirname "$0")/.."
modra=$(realpath "${1:-build/release/src/modra}")
frames=${2:-all}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=(--size 640x480 --oversample 2 --blur 4 --frames "$frames")

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { print b - a }'; }
load() { cut -d' ' -f1 /proc/loadavg; }

load1=$(load)
start=$(now)
"$modra" render examples/demo.knf -o "$work/whole.mpg" "${options[@]}"
one=$(since "$start")

load2=$(load)
start=$(now)
LP_NUM_THREADS=1 "$modra" render examples/demo.knf -o "$work/core.mpg" "${options[@]}"
core=$(since "$start")

load3=$(load)
start=$(now)
PARTS=2 MODRA=$modra examples/farm/render-here.sh examples/demo.knf "$work/split.mpg" \
  "${options[@]}"
two=$(since "$start")

cmp -s "$work/whole.mpg" "$work/split.mpg" && same=yes || same=NO
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
printf 'one process:                  %7.2f s  (load %s before)\n' "$one" "$load1"
printf 'one process on one core:      %7.2f s  (load %s before)\n' "$core" "$load2"
printf '2 shares (xargs -P 2) + join: %7.2f s  (load %s before)\n' "$two" "$load3"
printf 'speed-up: %s over one process, %s over one process on one core\n' \
  "$(ratio "$one" "$two")" "$(ratio "$core" "$two")"
echo "the joined movie equals the one-process movie: $same"
