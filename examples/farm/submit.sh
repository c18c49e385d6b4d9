#!/usr/bin/env bash
# Renders SCENE to OUT on a Slurm cluster in N shares and joins them:
#   examples/farm/submit.sh SCENE OUT N [modra render options]
# e.g. examples/farm/submit.sh demo.knf demo.mpg 16 --size 640x480 --blur 4
# Run it from a folder every node sees; modra must be on the nodes' PATH
# (or name it in MODRA). Prints the two job ids: the render array's, then
# the join's.
set -euo pipefail
if (($# < 3)); then
  echo "usage: $0 SCENE OUT N [modra render options]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
scene=$1 out=$2 count=$3
shift 3
render=$(sbatch --parsable --array="0-$((count - 1))" "$here/render-part.sbatch" \
  "$scene" "$out" "$@")
render=${render%%;*} # "id;cluster" on a federation
join=$(sbatch --parsable --dependency="afterok:$render" "$here/join.sbatch" "$out" "$count")
echo "$render ${join%%;*}"
