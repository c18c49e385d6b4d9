#!/usr/bin/env bash
# The editor's orbit frame rate drawn from buffer objects against the old
# client arrays, for the demo scene and the 1,000,000-triangle torus, and
# the editor's memory with the torus open each way. editor_orbit_bench runs
# RUNS times with both ways side by side (the best of the runs counts: other
# work on the machine only ever slows a run down), then once for each way
# alone on the torus, so that its peak memory (VmHWM) is that way's own.
# Prints the figures, the ratios and the load average before each run.
#   cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DMODRA_BENCH=ON
#   -DMODRA_TESTS=OFF && cmake --build build/release --target editor_orbit_bench &&
#   bench/draw_ratios.sh [BENCH] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
bench=$(realpath "${1:-build/release/bench/gui/editor_orbit_bench}")
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

orbit() {
  echo "load average $(cut -d' ' -f1-3 /proc/loadavg)" >&2
  xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb LIBGL_ALWAYS_SOFTWARE=1 \
    "$bench" "$@" 2>/dev/null
}

for ((i = 1; i <= runs; ++i)); do
  orbit --path=both | tee -a "$work/both.txt"
done
orbit --path=arrays | tee "$work/arrays.txt"
orbit --path=buffers | tee "$work/buffers.txt"

# Lines: "name: ..." opens a scene; "  arrays : ... N fps ...; VmHWM A MB, VmRSS B MB".
awk '
  /^[^ ].*triangles/ { scene = $1; sub(":", "", scene); next }
  / fps,/ {
    way = $1
    sub(":", "", way)
    for (i = 1; i <= NF; ++i) if ($(i + 1) == "fps,") fps = $i
    if (fps > best[scene, way]) best[scene, way] = fps
    scenes[scene] = 1
  }
  END {
    for (s in scenes)
      printf "%s: arrays %.1f fps, buffers %.1f fps (best of the runs): %.2fx\n", s,
             best[s, "arrays"], best[s, "buffers"], best[s, "buffers"] / best[s, "arrays"]
  }' "$work/both.txt"
for way in arrays buffers; do
  awk -v way="$way" '/^torus/ { on = 1 } on && ($1 == way || $1 == way ":") {
      sub(/.*; /, ""); print "torus.obj open, " way " alone: " $0 }' "$work/$way.txt"
done
