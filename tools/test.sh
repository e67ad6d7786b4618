#!/usr/bin/env bash
# Installs what is missing, builds Quillmere and runs every test; CI runs
# exactly this (.ci/run). Its stages, each timed:
#   build     build/, every warning an error
#   tests     every test, the ones against the real LibreOffice included
#   lint      clang-tidy over our sources (tools/lint.sh)
#   sanitize  build-sanitize/ with AddressSanitizer and UndefinedBehaviorSanitizer,
#             and the unit and real-office tests under them (tools/sanitize.sh)
#   format    the layout of .clang-format (tools/check-format.sh)
# The lint and the sanitizer build run beside the tests, one after the other,
# at the lowest processor and disk priority: most tests wait on an office and
# leave a processor idle, and the tests that watch an office run out of time
# or memory still get the processors whenever they want them. Their stages
# then wait for them; the time a stage prints is that wait, and the table
# also says how long each ran.
# The first stage that fails ends the run. Stage names as arguments run just
# those stages, in the order above: tools/test.sh build lint.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
times=()
beside="$(mktemp -d)"
beside_group=""
cleanup() {
  if [ -n "$beside_group" ]; then kill -- "-$beside_group" 2>/dev/null || true; fi
  rm -rf "$beside"
}
trap cleanup EXIT

chosen=("$@")
for name in "${chosen[@]}"; do
  case "$name" in
    install | build | tests | lint | sanitize | format) ;;
    *) echo "tools/test.sh: no stage '$name' (install build tests lint sanitize format)" >&2; exit 2 ;;
  esac
done
wanted() { [ "${#chosen[@]}" -eq 0 ] || [[ " ${chosen[*]} " == *" $1 "* ]]; }

# Records a stage's time and says how it went; ends the run when it failed.
finish() {
  local name="$1" start="$2" status="$3" note="${4:-}" took=$((SECONDS - $2))
  times+=("$(printf '%-9s %5d s%s' "$name" "$took" "$note")")
  if [ "$status" -ne 0 ]; then
    echo "==> $name FAILED after $took s"
    exit "$status"
  fi
  echo "==> $name passed in $took s"
}

stage() {
  local name="$1" start=$SECONDS status=0
  shift
  wanted "$name" || return 0
  echo "==> $name"
  "$@" || status=$?
  finish "$name" "$start" "$status"
}

# Starts, in the background and at the lowest priority, each wanted job of
# "lint" and "sanitize" in turn; each leaves its output, status and time in
# $beside. The jobs get a process group of their own, ended with the run.
start_beside() {
  local jobs=()
  wanted lint && jobs+=(lint)
  wanted sanitize && jobs+=(sanitize)
  [ "${#jobs[@]}" -eq 0 ] && return 0
  # A session of its own is a scheduling group of its own, which shares the
  # processors equally with the tests' whatever its nice value: the group is
  # given the lowest priority too.
  setsid nice -n 19 ionice -c 3 bash -c '
    echo 19 >/proc/self/autogroup 2>/dev/null || true
    here="$1" beside="$2"; shift 2
    for job in "$@"; do
      start=$SECONDS status=0
      case "$job" in
        lint) "$here/tools/lint.sh" ;;
        sanitize) "$here/tools/sanitize.sh" build ;;
      esac >"$beside/$job.log" 2>&1 || status=$?
      echo $((SECONDS - start)) >"$beside/$job.seconds"
      echo "$status" >"$beside/$job.status"
    done' beside "$here" "$beside" "${jobs[@]}" &
  beside_group=$!
}

# Waits for a job started beside the tests, then shows what it printed (all of
# it for the lint; the end of a failed build) and gives its status.
await() {
  local job="$1" status
  echo "==> $job"
  while [ ! -f "$beside/$job.status" ] && kill -0 "$beside_group" 2>/dev/null; do sleep 2; done
  status="$(cat "$beside/$job.status" 2>/dev/null || echo 1)"
  if [ "$job" = lint ] || [ "$status" -ne 0 ]; then
    tail -n 200 "$beside/$job.log"
  fi
  return "$status"
}

awaited() {
  local job="$1" what="$2" start=$SECONDS status=0
  shift 2
  wanted "$job" || return 0
  await "$job" || status=$?
  if [ "$status" -eq 0 ] && [ $# -gt 0 ]; then
    "$@" || status=$?
  fi
  finish "$job" "$start" "$status" "$(printf '  (%s ran %s s beside the tests)' "$what" "$(cat "$beside/$job.seconds" 2>/dev/null || echo ?)")"
}

run_tests() { cd "$here/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200; }

stage install "$here/tools/install-deps.sh" --tests
stage build "$here/tools/build.sh" -DQUILLMERE_WERROR=ON -DBUILD_TESTING=ON
start_beside
stage tests run_tests
awaited lint clang-tidy
awaited sanitize "its build" "$here/tools/sanitize.sh" test
stage format "$here/tools/check-format.sh"

echo "Stage times:"
printf '  %s\n' "${times[@]}"
printf '  %-9s %5d s\n' total "$SECONDS"
