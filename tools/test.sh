#!/usr/bin/env bash
# Installs what is missing, builds Quillmere and runs every test; CI runs
# exactly this (.ci/run). Its stages, each timed:
#   build     build/, every warning an error
#   tests     every test, the ones against the real LibreOffice included
#   lint      clang-tidy over our sources (tools/lint.sh); after the tests, not
#             beside them: the tests that watch offices run out of memory or time
#             must not share the processors with it
#   sanitize  build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer,
#             and the unit and real-office tests under them (tools/sanitize.sh)
#   format    the layout of .clang-format (tools/check-format.sh)
# The first stage that fails ends the run. Stage names as arguments run just
# those stages, in the order above: tools/test.sh build lint.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
times=()

# Records a stage's time and says how it went; ends the run when it failed.
finish() {
  local name="$1" start="$2" status="$3" took=$((SECONDS - $2))
  times+=("$(printf '%-9s %5d s' "$name" "$took")")
  if [ "$status" -ne 0 ]; then
    echo "==> $name FAILED after $took s"
    exit "$status"
  fi
  echo "==> $name passed in $took s"
}

chosen=("$@")
for name in "${chosen[@]}"; do
  case "$name" in
    install | build | tests | lint | sanitize | format) ;;
    *) echo "tools/test.sh: no stage '$name' (install build tests lint sanitize format)" >&2; exit 2 ;;
  esac
done

stage() {
  local name="$1" start=$SECONDS status=0
  shift
  if [ "${#chosen[@]}" -gt 0 ] && [[ " ${chosen[*]} " != *" $name "* ]]; then
    return 0
  fi
  echo "==> $name"
  "$@" || status=$?
  finish "$name" "$start" "$status"
}

run_tests() { cd "$here/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200; }

stage install "$here/tools/install-deps.sh"
stage build "$here/tools/build.sh" -DQUILLMERE_WERROR=ON

stage tests run_tests
stage lint "$here/tools/lint.sh"

stage sanitize "$here/tools/sanitize.sh"
stage format "$here/tools/check-format.sh"

echo "Stage times:"
printf '  %s\n' "${times[@]}"
printf '  %-9s %5d s\n' total "$SECONDS"
