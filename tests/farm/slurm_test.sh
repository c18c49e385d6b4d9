#!/usr/bin/env bash
# The Slurm example on a one-machine cluster of its own: munged, slurmctld
# and slurmd started from a generated configuration in a temporary folder,
# the demo scene rendered by the job array and joined by the dependent job,
# the joined movie compared with a render in one piece, and the daemons
# stopped whatever happens.
#   tests/farm/slurm_test.sh MODRA SOURCE_DIR
# Exit 77 (skipped, with the reason) where the daemons cannot run here.
set -uo pipefail
modra=$(realpath "$1") source=$(realpath "$2")
skip() {
  echo "SKIPPED: $*"
  exit 77
}
((EUID == 0)) || skip "the daemons need root (tools/install-packages.sh --slurm as root, then run as root)"
for command in munged mungekey slurmctld slurmd sbatch squeue scontrol sinfo; do
  command -v "$command" >/dev/null || skip "$command is missing (tools/install-packages.sh --slurm)"
done

work=$(mktemp -d /tmp/modra-slurm-XXXXXX)
pids=()
stop() {
  local status=$?
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do
    for _ in {1..50}; do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
  done
  if ((status != 0 && status != 77)); then
    for log in "$work"/*.log "$work"/run/*.log; do
      [[ -f $log ]] && { echo "--- $log"; tail -n 20 "$log"; }
    done
  fi
  rm -rf "$work"
}
trap stop EXIT
fail() {
  echo "FAILED: $*"
  exit 1
}
# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1
  shift
  for ((i = 0; i < seconds * 5; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.2
  done
  return 1
}

# munge: the key every host of a cluster shares, made once; our own daemon
# on a socket in the folder (--force: it runs as root, in /tmp).
[[ -s /etc/munge/munge.key ]] || mungekey --create --keyfile=/etc/munge/munge.key ||
  skip "can't create the munge key"
mkdir -p "$work/munge" "$work/state" "$work/spool" "$work/run"
socket=$work/munge/munge.socket
munged --force --socket="$socket" --key-file=/etc/munge/munge.key \
  --pid-file="$work/munge/munged.pid" --log-file="$work/munged.log" \
  --seed-file="$work/munge/seed" --foreground &
pids+=($!)
wait_for 10 test -S "$socket" || skip "munged does not start (see above)"

host=$(hostname -s)
cpus=$(nproc)
export SLURM_CONF=$work/slurm.conf
cat >"$SLURM_CONF" <<CONF
ClusterName=modratest
SlurmctldHost=$host(127.0.0.1)
SlurmctldPort=16817
SlurmdPort=16818
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
SlurmUser=root
SlurmdUser=root
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
ReturnToService=2
NodeName=$host NodeAddr=127.0.0.1 CPUs=$cpus State=UNKNOWN
PartitionName=modratest Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
slurmctld -D -i >"$work/run/slurmctld.log" 2>&1 &
pids+=($!)
slurmd -D >"$work/run/slurmd.log" 2>&1 &
pids+=($!)
wait_for 20 bash -c '[[ $(sinfo -h -o %T) == idle* ]]' ||
  skip "the one-machine cluster does not come up: $(sinfo -h -o %T 2>&1)"

# The example, on the demo scene at a small size with motion blur.
cd "$work/run" || fail "no folder"
options=(--size 64x48 --frames 20-31 --blur 2)
export MODRA=$modra
# Leaks are checked by the render tests themselves; here LeakSanitizer's
# stop-the-world pass at exit can crash on a rasteriser thread that is
# just ending, which would fail a share that rendered correctly.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
read -r render join < <("$source/examples/farm/submit.sh" "$source/examples/demo.knf" demo.mpg 3 \
  "${options[@]}") || fail "sbatch refused the jobs"
[[ -n $join ]] || fail "sbatch gave no job ids"
state() { scontrol show job "$1" 2>/dev/null | grep -o 'JobState=[A-Z_]*' | head -n 1; }
wait_for 60 bash -c "! squeue -h -j $render,$join 2>/dev/null | grep -q ." ||
  fail "the jobs did not end within a minute: $(squeue 2>&1)"
[[ $(state "$join") == JobState=COMPLETED ]] || fail "the join ended as $(state "$join")"

"$modra" render "$source/examples/demo.knf" -o whole.mpg "${options[@]}" ||
  fail "the render in one piece failed"
# The parts join into the very stream one render writes, so equal bytes
# mean equal frames.
cmp demo.mpg whole.mpg || fail "the joined movie differs from the render in one piece"
ls demo.part0{0,1,2}.mpg >/dev/null || fail "a part is missing"
echo "PASSED: 3 parts on Slurm joined into the render in one piece"
