#!/usr/bin/env bash
# quillmere-batch --jobs 1 beside soffice --convert-to on the same small
# generated spreadsheets, each warmed once; prints seconds and ms per file.
#   bench/per_file_overhead.sh [COUNT] [ROUNDS]   (defaults 200 and 3)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
count="${1:-200}"
rounds="${2:-3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
mkdir -p "$HOME"
/usr/bin/python3 "$here/bench/make_many.py" "$work/in" "$count"
batch="$here/build/quillmere/quillmere-batch"
soffice=/usr/lib/libreoffice/program/soffice
profile="file://$work/soffice-profile"

seconds() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; end=$(date +%s.%N); echo "$end - $start" | bc -l; }
run_batch() { rm -rf "$work/out1"; mkdir -p "$work/out1"; seconds "$batch" --jobs 1 --to "$work/out1" "$work/in"/*.ods; }
run_soffice() { rm -rf "$work/out2"; mkdir -p "$work/out2"; seconds "$soffice" -env:UserInstallation="$profile" --headless --convert-to xls --outdir "$work/out2" "$work/in"/*.ods; }

run_batch >/dev/null
run_soffice >/dev/null
for ((r = 1; r <= rounds; r++)); do
    tb=$(run_batch)
    ts=$(run_soffice)
    printf 'round %d: quillmere-batch %6.2f s (%d, %.1f ms/file)  soffice %6.2f s (%d, %.1f ms/file)  ratio %.3f\n' \
        "$r" "$tb" "$(ls "$work/out1" | wc -l)" "$(echo "$tb * 1000 / $count" | bc -l)" \
        "$ts" "$(ls "$work/out2" | wc -l)" "$(echo "$ts * 1000 / $count" | bc -l)" "$(echo "$tb / $ts" | bc -l)"
done
