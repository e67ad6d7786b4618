#!/usr/bin/env bash
# Builds and runs the benchmarks; prints figures, judges nothing.
#   tools/bench.sh [COUNT]   COUNT generated spreadsheets (default 300)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/install-deps.sh" unoconv
"$here/tools/build.sh" >/dev/null
count="${1:-300}"
corpus="$(cd "$here/../shared/corpus" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"

echo "== Add All on a large tree, beside find"
"$here/build/bench/add_all_benchmark"

echo
echo "== Conversion: $count generated spreadsheets and the corpus (without issue_594_dos.ods)"
/usr/bin/python3 "$here/bench/make_many.py" "$work/in" "$count"
for f in "$corpus"/*.ods; do [ "$(basename "$f")" = issue_594_dos.ods ] || cp "$f" "$work/in/"; done
files=("$work/in"/*)
n=${#files[@]}
batch="$here/build/quillmere/quillmere-batch"
soffice=/usr/lib/libreoffice/program/soffice

seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; end=$(date +%s.%N); echo "$end - $start" | bc -l; }
# First starts (profiles, filters) before any clock.
"$batch" --to "$work" "$corpus/date.ods" >/dev/null 2>&1 || true
"$soffice" -env:UserInstallation="file://$work/soffice-profile" --headless --convert-to xls --outdir "$work" "$corpus/date.ods" >/dev/null 2>&1 || true

mkdir -p "$work/out1" "$work/out2" "$work/out3" "$work/out4"
t1=$(seconds "$batch" --jobs 1 --to "$work/out1" "${files[@]}")
t2=$(seconds "$batch" --jobs 2 --to "$work/out2" "${files[@]}")
t3=$(seconds "$soffice" -env:UserInstallation="file://$work/soffice-profile" --headless --convert-to xls --outdir "$work/out3" "${files[@]}")
printf 'soffice --convert-to:       %7.2f s  (%d workbooks)\n' "$t3" "$(ls "$work/out3" | wc -l)"
printf 'quillmere-batch --jobs 1:   %7.2f s  (%d workbooks)  ratio to soffice %.2f\n' "$t1" "$(ls "$work/out1" | wc -l)" "$(echo "$t1 / $t3" | bc -l)"
printf 'quillmere-batch --jobs 2:   %7.2f s  (%d workbooks)  ratio to soffice %.2f  (speed-up %.2f)\n' "$t2" "$(ls "$work/out2" | wc -l)" "$(echo "$t2 / $t3" | bc -l)" "$(echo "$t3 / $t2" | bc -l)"
printf 'our overhead per file over the office'"'"'s own load and save: %.1f ms\n' "$(echo "($t1 - $t3) * 1000 / $n" | bc -l)"
if command -v unoconv >/dev/null; then
  t4=$(seconds unoconv -f xls -o "$work/out4/" "${files[@]}")
  printf 'unoconv:                    %7.2f s  ratio to soffice %.2f\n' "$t4" "$(echo "$t4 / $t3" | bc -l)"
else
  echo "unoconv: not installed (Debian 12: apt-get install unoconv)"
fi

echo
echo "== 200 files through the run, with and without an office crash in the middle"
"$here/build/bench/crash_benchmark" "$work/in"
