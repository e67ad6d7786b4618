#!/usr/bin/env bash
# Builds and runs the benchmarks; prints figures, judges nothing.
#   tools/bench.sh [COUNT]   COUNT generated spreadsheets (default 1000)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/install-deps.sh" --tests
"$here/tools/build.sh" -DBUILD_TESTING=ON >/dev/null
count="${1:-1000}"
n_files=$count
corpus="$(cd "$here/../shared/corpus" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"

echo "== Add All on a large tree, beside find"
"$here/build/bench/add_all_benchmark"

echo
echo "== Conversion speed: $count small generated spreadsheets, beside soffice --convert-to"
/usr/bin/python3 "$here/bench/make_many.py" "$work/in" "$count"
files=("$work/in"/*)
batch="$here/build/quillmere/quillmere-batch"
soffice=/usr/lib/libreoffice/program/soffice
measure=("/usr/bin/python3" "$here/bench/measure_run.py")
made() { ls "$work/$1" | wc -l; }
field() { sed -n "s/.*\b$1=\([^ ]*\).*/\1/p" <<<"$2"; }
# Processor time a file (user + system), by kind of process.
cpu() { printf 'CPU a file: office %s ms, worker %s ms, command %s ms, other %s ms' "$(field cpu_office_ms "$1")" \
    "$(field cpu_worker_ms "$1")" "$(field cpu_command_ms "$1")" "$(field cpu_other_ms "$1")"; }
# First starts (profiles, filters) before any clock.
"$batch" --jobs 1 --to "$work" "$corpus/date.ods" >/dev/null 2>&1 || true
"$soffice" -env:UserInstallation="file://$work/soffice-profile" --headless --convert-to xls --outdir "$work" "$corpus/date.ods" >/dev/null 2>&1 || true

# soffice --convert-to makes no more than 247 workbooks a call (and says nothing
# of the rest), so it gets 200 files a call through xargs, as a user would give them.
mkdir -p "$work/soffice"
soffice_run=$("${measure[@]}" "$n_files" -- sh -c 'printf "%s\0" "$@" | xargs -0 -n 200 '"$soffice"' -env:UserInstallation=file://'"$work"'/soffice-profile --headless --convert-to xls --outdir '"$work"'/soffice' sh "${files[@]}")
t_soffice=$(field seconds "$soffice_run")
printf '%-44s %6.2f s  %6.1f files/s  %4d workbooks  offices at most %s MB\n' \
    "soffice --convert-to, 200 files a call:" "$t_soffice" "$(echo "$n_files / $t_soffice" | bc -l)" "$(made soffice)" \
    "$(field office_peak_mb "$soffice_run")"
printf '%-44s %s\n' "" "$(cpu "$soffice_run")"
declare -A t_jobs
default_jobs=$("$batch" --help | sed -n 's/.*here \([0-9]*\)).*/\1/p')
for jobs in 1 2 default; do
  out="$work/jobs-$jobs"
  mkdir -p "$out"
  option=(--jobs "$jobs")
  [ "$jobs" = default ] && option=()
  run=$("${measure[@]}" "$n_files" -- "$batch" "${option[@]}" --to "$out" "${files[@]}")
  t=$(field seconds "$run")
  t_jobs[$jobs]=$t
  label="quillmere-batch --jobs $jobs:"
  [ "$jobs" = default ] && label="quillmere-batch (default, $default_jobs jobs):"
  printf '%-44s %6.2f s  %6.1f files/s  %4d workbooks  offices at most %s MB (largest %s MB)  %.2f times soffice\n' \
      "$label" "$t" "$(echo "$n_files / $t" | bc -l)" "$(made "jobs-$jobs")" "$(field office_peak_mb "$run")" \
      "$(field largest_office_mb "$run")" "$(echo "$t_soffice / $t" | bc -l)"
  printf '%-44s %s\n' "" "$(cpu "$run")"
done

# Start-up apart from the steady rate: a run of as many files as jobs is
# start-up and one conversion each.
for jobs in 1 2; do
  mkdir -p "$work/start-$jobs"
  short=$("${measure[@]}" "$jobs" -- "$batch" --jobs "$jobs" --to "$work/start-$jobs" "${files[@]:0:$jobs}")
  ts=$(field seconds "$short")
  tl=${t_jobs[$jobs]}
  printf 'quillmere-batch --jobs %d: %d files in %.2f s (start-up and one file each); steady rate %.1f files/s\n' \
      "$jobs" "$jobs" "$ts" "$(echo "($n_files - $jobs) / ($tl - $ts)" | bc -l)"
done

echo
echo "== 2,000 small files with the default jobs: offices kept for the whole run, or replaced every 200 files"
/usr/bin/python3 "$here/bench/make_many.py" "$work/in2000" 2000
for every in 0 200; do
  mkdir -p "$work/long-$every"
  run=$(QUILLMERE_FILES_PER_OFFICE=$every "${measure[@]}" 2000 -- "$batch" --to "$work/long-$every" "$work/in2000")
  label="kept:"
  [ "$every" = 0 ] || label="replaced every $every files:"
  printf '%-30s %6.2f s  %5.1f files/s  files/s by quarter %s  offices at most %s MB  %d workbooks\n' "$label" \
      "$(field seconds "$run")" "$(field rate "$run")" "$(field quarters "$run")" "$(field office_peak_mb "$run")" \
      "$(made "long-$every")"
done

echo
echo "== 200 files through the run, with and without an office crash in the middle"
"$here/build/bench/crash_benchmark" "$work/in"

echo
echo "== The look for Excel 97 losses: conversions with and without it, and its own cost"
/usr/bin/python3 "$here/tests/support/make_spreadsheet.py" "$work/rows60000.ods" \
    '[{"name": "Data", "rows": 60000, "columns": 12}]'
/usr/bin/python3 - "$here/tests/support" "$work/formulas10000.ods" <<'MAKE'
import sys
sys.path.insert(0, sys.argv[1])
import make_spreadsheet
cells = [[r, 1, r] for r in range(1, 10001)] + [[r, 2, {"formula": "of:=[.A%d]*2+1" % r}] for r in range(1, 10001)]
make_spreadsheet.write(sys.argv[2], [{"name": "Formulas", "cells": cells}])
MAKE
"$here/build/bench/examination_benchmark" 6 "generated (2 sheets, 22 rows)" "$work/in"/book00[0-4]*.ods \
    -- "60,000 rows x 12 columns" "$work/rows60000.ods" -- "10,000 formulas" "$work/formulas10000.ods"
