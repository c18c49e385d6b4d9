#!/usr/bin/env bash
# Renders SCENE to OUT on this machine, one share per core, and joins them:
#   examples/farm/render-here.sh SCENE OUT [modra render options]
# e.g. examples/farm/render-here.sh demo.knf demo.mpg --size 640x480 --blur 4
# PARTS sets the number of shares (default: the number of cores); MODRA
# names the program (default: modra on the PATH).
set -euo pipefail
if (($# < 2)); then
  echo "usage: $0 SCENE OUT [modra render options]" >&2
  exit 2
fi
scene=$1 out=$2
shift 2
count=${PARTS:-$(nproc)}
modra=${MODRA:-modra}
# Mesa's software rasteriser starts a thread per core in every process;
# with a process per core they only get in each other's way.
export LP_NUM_THREADS=${LP_NUM_THREADS:-1}
# xargs fails (123) when any share does; the join then never runs.
seq 0 $((count - 1)) |
  xargs -P "$count" -I{} "$modra" render "$scene" -o "$out" --part "{}/$count" "$@"
MODRA=$modra bash "$(dirname "$0")/join.sbatch" "$out" "$count"
