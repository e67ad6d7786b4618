#!/usr/bin/env bash
# Builds and runs the benchmarks; prints figures, judges nothing.
#   tools/bench.sh [COUNT]   COUNT generated spreadsheets (default 300)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/install-deps.sh" unoconv python3-uno
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
made() { ls "$work/$1" | wc -l; }
# First starts (profiles, filters) before any clock.
"$batch" --to "$work" "$corpus/date.ods" >/dev/null 2>&1 || true
"$soffice" -env:UserInstallation="file://$work/soffice-profile" --headless --convert-to xls --outdir "$work" "$corpus/date.ods" >/dev/null 2>&1 || true
/usr/bin/python3 "$here/bench/office_alone.py" store-to "$work/alone-profile" "$work" "$corpus/date.ods" >/dev/null 2>&1 || true

mkdir -p "$work/out1" "$work/out2" "$work/out3" "$work/out4" "$work/out5" "$work/out6"
t1=$(seconds "$batch" --jobs 1 --to "$work/out1" "${files[@]}")
t2=$(seconds "$batch" --jobs 2 --to "$work/out2" "${files[@]}")
t3=$(seconds "$soffice" -env:UserInstallation="file://$work/soffice-profile" --headless --convert-to xls --outdir "$work/out3" "${files[@]}")
# The office driven from Python through each call sequence: what the office itself costs.
t5=$(seconds /usr/bin/python3 "$here/bench/office_alone.py" save-as "$work/alone-profile" "$work/out5" "${files[@]}")
t6=$(seconds /usr/bin/python3 "$here/bench/office_alone.py" store-to "$work/alone-profile" "$work/out6" "${files[@]}")
# soffice may make fewer workbooks than it was given files (it stops after a few hundred
# here), so the ratios compare seconds per workbook made.
per() { echo "$1 / $2" | bc -l; }
s3=$(per "$t3" "$(made out3)")
ratio() { printf 'ratio to soffice %.2f per workbook' "$(echo "$(per "$1" "$(made "$2")") / $s3" | bc -l)"; }
printf 'soffice --convert-to:                          %7.2f s  (%d workbooks of %d files)\n' "$t3" "$(made out3)" "$n"
printf 'quillmere-batch --jobs 1:                      %7.2f s  (%d workbooks)  %s\n' "$t1" "$(made out1)" "$(ratio "$t1" out1)"
printf 'quillmere-batch --jobs 2:                      %7.2f s  (%d workbooks)  %s\n' "$t2" "$(made out2)" "$(ratio "$t2" out2)"
printf 'office alone from Python, the run'"'"'s save-as:   %7.2f s  (%d workbooks)  %s\n' "$t5" "$(made out5)" "$(ratio "$t5" out5)"
printf 'office alone from Python, soffice'"'"'s store-to:  %7.2f s  (%d workbooks)  %s\n' "$t6" "$(made out6)" "$(ratio "$t6" out6)"
printf 'per workbook: ours %.1f ms, soffice %.1f ms; the same save-as calls from Python %.1f ms, store-to from Python %.1f ms\n' \
    "$(echo "$(per "$t1" "$(made out1)") * 1000" | bc -l)" "$(echo "$s3 * 1000" | bc -l)" \
    "$(echo "$(per "$t5" "$(made out5)") * 1000" | bc -l)" "$(echo "$(per "$t6" "$(made out6)") * 1000" | bc -l)"
if command -v unoconv >/dev/null; then
  t4=$(seconds unoconv -f xls -o "$work/out4/" "${files[@]}")
  printf 'unoconv:                                       %7.2f s  (%d workbooks)\n' "$t4" "$(made out4)"
else
  echo "unoconv: not installed (Debian 12: apt-get install unoconv)"
fi

echo
echo "== 200 files through the run, with and without an office crash in the middle"
"$here/build/bench/crash_benchmark" "$work/in"

echo
echo "== The look for Excel 97 losses: conversions with and without it, and its own cost"
/usr/bin/python3 "$here/tests/support/make_spreadsheet.py" "$work/rows60000.ods" \
    '[{"name": "Data", "rows": 60000, "columns": 12}]'
"$here/build/bench/examination_benchmark" 6 "generated (2 sheets, 22 rows)" "$work/in"/book00[0-4]*.ods \
    -- "60,000 rows x 12 columns" "$work/rows60000.ods"
