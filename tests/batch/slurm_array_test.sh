#!/usr/bin/env bash
# The README's Slurm array job on a real Slurm: munged, slurmctld and slurmd
# started here on the loopback, with every file they keep in a temporary
# folder; 8 array tasks, each running quillmere-batch --shard auto over one
# tree of 200 spreadsheets. Every file must become exactly one workbook, and
# no daemon may be left afterwards.
#
# usage: slurm_array_test.sh QUILLMERE_BATCH [SOURCE_DIR [SHARD]]
# SHARD is what each task passes to --shard, expanded by the task: "auto" (the
# default), or '$SLURM_ARRAY_TASK_ID/8' for the share named in full.
set -uo pipefail
usage="usage: slurm_array_test.sh QUILLMERE_BATCH [SOURCE_DIR [SHARD]]"
batch=$(realpath "${1:?$usage}")
source_dir=$(realpath "${2:-$(dirname "$0")/../..}")
shard=${3:-auto}
tasks=8
files=200

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
for tool in munged slurmctld slurmd sbatch squeue scontrol; do
    command -v "$tool" >/dev/null ||
        { echo "FAIL: $tool is missing (tools/install-deps.sh --tests installs slurm-wlm and munge)" >&2; exit 1; }
done

work=$(mktemp -d)
conf=$work/slurm.conf
pids=()
# The processes of this run: the daemons, the steps of its tasks and what they
# started, each found by the folder in its command line or its environment.
ours() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "${proc#/proc/}" = $$ ] && continue
        grep -qaF "$work" "$proc/cmdline" "$proc/environ" 2>/dev/null && echo "${proc#/proc/}"
    done
}
stop_daemons() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null
    done
    pids=()
    # Whatever a task cut short left.
    for pid in $(ours); do kill -9 "$pid" 2>/dev/null; done
}
cleanup() { stop_daemons; rm -rf "$work"; }
trap cleanup EXIT

# Free ports on the loopback for the controller and the node.
read -r ctld_port node_port < <(/usr/bin/python3 -c '
import socket
s = [socket.socket() for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
node=$(hostname -s)
mkdir -p "$work"/{state,spool,munge,out,tree}
chmod 700 "$work/munge"

# Munge, with a key of its own and its socket in the folder.
dd if=/dev/urandom of="$work/munge/key" bs=1024 count=1 status=none
chmod 400 "$work/munge/key"
munged --key-file="$work/munge/key" --socket="$work/munge/socket" --pid-file="$work/munge/pid" \
       --log-file="$work/munge/log" --seed-file="$work/munge/seed" --foreground --force 2>/dev/null &
pids+=($!)

cat >"$conf" <<CONF
ClusterName=quillmere
SlurmctldHost=$node(127.0.0.1)
SlurmctldPort=$ctld_port
SlurmdPort=$node_port
AuthType=auth/munge
AuthInfo=socket=$work/munge/socket
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
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
ReturnToService=2
MpiDefault=none
SwitchType=switch/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
NodeName=$node NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=all Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF
for _ in $(seq 50); do [ -S "$work/munge/socket" ] && break; sleep 0.1; done
SLURM_CONF=$conf slurmctld -D -i 2>/dev/null &
pids+=($!)
SLURM_CONF=$conf slurmd -D -N "$node" 2>/dev/null &
pids+=($!)
ready=
for _ in $(seq 150); do
    SLURM_CONF=$conf scontrol show node "$node" 2>/dev/null | grep -qE 'State=(IDLE|MIXED)' && { ready=1; break; }
    sleep 0.2
done
[ -n "$ready" ] || { fail "the node did not come up"; tail -5 "$work"/*.log >&2; exit 1; }

# The tree, and the array job as the README writes it. Each task has a home
# of its own, so that the offices of tasks that run at once share no profile.
/usr/bin/python3 "$source_dir/bench/make_many.py" "$work/tree" "$files" >/dev/null
mkdir -p "$work/tree/b/c"
mv "$work"/tree/book00[0-4]*.ods "$work/tree/b/c/"
cat >"$work/job.sh" <<JOB
#!/bin/bash
#SBATCH --array=1-$tasks
#SBATCH --output=$work/task-%a.out
export HOME=$work/home-\$SLURM_ARRAY_TASK_ID XDG_CACHE_HOME=$work/home-\$SLURM_ARRAY_TASK_ID/cache
mkdir -p "\$HOME"
"$batch" --shard "$shard" --jobs 1 --recursive --to $work/out --report $work/report-\$SLURM_ARRAY_TASK_ID.jsonl $work/tree
status=\$?
echo "exit \$status" >$work/status-\$SLURM_ARRAY_TASK_ID
exit \$status
JOB
# sbatch --wait looks at the job ever more rarely, up to half a minute after
# it ended: the queue is asked every second instead.
start=$(date +%s)
job=$(SLURM_CONF=$conf sbatch --parsable "$work/job.sh") || { fail "sbatch refused the job"; exit 1; }
while [ -n "$(SLURM_CONF=$conf squeue -h -j "$job" -o %i 2>/dev/null)" ]; do
    if [ $(($(date +%s) - start)) -gt 1000 ]; then
        SLURM_CONF=$conf scancel "$job"
        fail "the array job had not ended after 1000 s"
        break
    fi
    sleep 1
done
echo "the array job of $tasks tasks took $(($(date +%s) - start)) s"
# The controller keeps ended jobs for a while: each task must have completed
# with exit code 0.
completed=$(SLURM_CONF=$conf scontrol -o show job "$job" | grep -c 'JobState=COMPLETED .*ExitCode=0:0')
[ "$completed" -eq "$tasks" ] || fail "$completed of $tasks tasks completed with exit code 0"

for task in $(seq $tasks); do
    status=$(cat "$work/status-$task" 2>/dev/null)
    [ "$status" = "exit 0" ] || { fail "task $task: ${status:-no status}"; cat "$work/task-$task.out" >&2; }
done
workbooks=$(find "$work/out" -name '*.xls' | wc -l)
[ "$workbooks" -eq "$files" ] || fail "$workbooks workbooks for $files files"
# Each file of the tree in exactly one task's report, converted, and nothing
# else in the reports.
/usr/bin/python3 - "$work" <<'PY' || fail "the reports do not give every file of the tree exactly once, converted"
import collections, glob, json, os, sys
work = sys.argv[1]
tree = {os.path.realpath(os.path.join(folder, name))
        for folder, _, names in os.walk(os.path.join(work, "tree")) for name in names}
seen = collections.Counter()
wrong = []
for path in glob.glob(os.path.join(work, "report-*.jsonl")):
    for line in open(path):
        entry = json.loads(line)
        seen[os.path.realpath(entry["input"])] += 1
        if entry["status"] != "converted":
            wrong.append(f'{entry["input"]}: {entry["status"]}')
missing = sorted(tree - set(seen))
twice = sorted(name for name, count in seen.items() if count > 1)
strange = sorted(set(seen) - tree)
for what, names in (("not converted", wrong), ("in no report", missing),
                    ("in more than one report", twice), ("not in the tree", strange)):
    if names:
        print(f"{len(names)} {what}:", *names[:5], file=sys.stderr)
sys.exit(1 if wrong or missing or twice or strange else 0)
PY

# Every task is over: what is left running are the daemons and their own
# helpers (slurmctld's script runner), and stopping them leaves nothing.
daemons=" ${pids[*]} "
for pid in $(ours); do
    [[ $daemons == *" $pid "* || $daemons == *" $(ps -o ppid= -p "$pid" | tr -d ' ') "* ]] ||
        fail "left running after the job: $(ps -o args= -p "$pid")"
done
for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
for _ in $(seq 100); do [ -z "$(ours)" ] && break; sleep 0.1; done
[ -z "$(ours)" ] || fail "still running after the daemons were stopped: $(ours | xargs -r ps -o comm= -p | tr '\n' ' ')"
[ "$failures" -eq 0 ] && echo "PASS: $tasks Slurm array tasks, $files files, $workbooks workbooks, none twice"
exit $((failures > 0))
