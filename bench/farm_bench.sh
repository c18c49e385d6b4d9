#!/usr/bin/env bash
# How much a render gains from being split over the cores: the demo scene at
# 640x480 with 2x oversampling and 4 motion-blur samples, rendered by one
# process, then as 2 shares side by side (xargs -P 2) joined into one movie.
# Prints both wall times (the join included), the speed-up and the load
# average before each run, which other work on the machine spoils.
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_TESTS=OFF
#   cmake --build build/release --target modra && bench/farm_bench.sh [MODRA] [FRAMES]
# FRAMES is a --frames range (all).
set -euo pipefail
cd "$(dirname "$0")/.."
modra=$(realpath "${1:-build/release/src/modra}")
frames=${2:-all}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=(examples/demo.knf --size 640x480 --oversample 2 --blur 4 --frames "$frames")

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { print b - a }'; }
load() { cut -d' ' -f1 /proc/loadavg; }

load1=$(load)
start=$(now)
"$modra" render "${options[@]}" -o "$work/whole.mpg"
one=$(since "$start")

load2=$(load)
start=$(now)
printf '%s\n' 0 1 | xargs -P 2 -I{} "$modra" render "${options[@]}" -o "$work/split.mpg" --part {}/2
"$modra" join "$work/split.mpg" "$work/split.part00.mpg" "$work/split.part01.mpg"
two=$(since "$start")

cmp -s "$work/whole.mpg" "$work/split.mpg" && same=yes || same=NO
printf 'one process:                  %7.2f s  (load %s before)\n' "$one" "$load1"
printf '2 shares (xargs -P 2) + join: %7.2f s  (load %s before)\n' "$two" "$load2"
printf 'speed-up: %.2fx; the joined movie equals the one-process movie: %s\n' \
  "$(awk -v a="$one" -v b="$two" 'BEGIN { print a / b }')" "$same"
