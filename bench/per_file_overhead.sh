#!/usr/bin/env bash
# quillmere-batch --jobs 1 beside soffice --convert-to, and beside the office
# driven straight from Python through each one's call sequence, on the same
# small generated spreadsheets; each warmed once, the runs taking turns round
# by round. Prints seconds per round and the medians.
#   bench/per_file_overhead.sh [COUNT] [ROUNDS]   (defaults 200 and 5)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-200}"
rounds="${2:-5}"
# The office driven straight from Python needs Debian's UNO binding.
"$here/tools/install-deps.sh" python3-uno
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"
/usr/bin/python3 "$here/bench/make_many.py" "$work/in" "$count"
batch="$here/build/quillmere/quillmere-batch"
soffice=/usr/lib/libreoffice/program/soffice
alone="$here/bench/office_alone.py"

# The seconds a command takes, timed as tools/bench.sh times its runs.
seconds() { /usr/bin/python3 "$here/bench/measure_run.py" "$count" -- "$@" | sed -n 's/.*\bseconds=\([^ ]*\).*/\1/p'; }
fresh() { rm -rf "$work/$1"; mkdir -p "$work/$1"; }
run_batch() { fresh out1; seconds "$batch" --jobs 1 --to "$work/out1" "$work/in"/*.ods; }
run_soffice() { fresh out2; seconds "$soffice" -env:UserInstallation="file://$work/soffice-profile" --headless --convert-to xls --outdir "$work/out2" "$work/in"/*.ods; }
run_alone() { fresh "out-$1"; seconds /usr/bin/python3 "$alone" "$1" "$work/alone-profile" "$work/out-$1" "$work/in"/*.ods; }
median() { printf '%s\n' "$@" | sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

run_batch >/dev/null
run_soffice >/dev/null
run_alone save-as >/dev/null
declare -a tb ts ta tt
for ((r = 0; r < rounds; r++)); do
    tb[r]=$(run_batch)
    ts[r]=$(run_soffice)
    ta[r]=$(run_alone save-as)
    tt[r]=$(run_alone store-to)
    printf 'round %d: quillmere-batch %6.2f s (%d)  soffice %6.2f s (%d)  office alone, save-as %6.2f s (%d)  store-to %6.2f s (%d)\n' \
        "$((r + 1))" "${tb[r]}" "$(ls "$work/out1" | wc -l)" "${ts[r]}" "$(ls "$work/out2" | wc -l)" \
        "${ta[r]}" "$(ls "$work/out-save-as" | wc -l)" "${tt[r]}" "$(ls "$work/out-store-to" | wc -l)"
done
b=$(median "${tb[@]}"); s=$(median "${ts[@]}"); a=$(median "${ta[@]}"); t=$(median "${tt[@]}")
printf 'medians of %d rounds, %d files:\n' "$rounds" "$count"
printf '  quillmere-batch --jobs 1            %6.2f s  %5.1f ms/file  ratio to soffice %.3f\n' "$b" "$(echo "$b * 1000 / $count" | bc -l)" "$(echo "$b / $s" | bc -l)"
printf '  soffice --convert-to                %6.2f s  %5.1f ms/file\n' "$s" "$(echo "$s * 1000 / $count" | bc -l)"
printf '  office alone, the run'"'"'s save-as     %6.2f s  %5.1f ms/file  ratio to soffice %.3f\n' "$a" "$(echo "$a * 1000 / $count" | bc -l)" "$(echo "$a / $s" | bc -l)"
printf '  office alone, soffice'"'"'s store-to    %6.2f s  %5.1f ms/file  ratio to soffice %.3f\n' "$t" "$(echo "$t * 1000 / $count" | bc -l)" "$(echo "$t / $s" | bc -l)"
printf '  our overhead over the same calls made from Python: %.1f ms/file\n' "$(echo "($b - $a) * 1000 / $count" | bc -l)"
printf '  the save-as sequence over the store-to one, in the office: %.1f ms/file\n' "$(echo "($a - $t) * 1000 / $count" | bc -l)"
