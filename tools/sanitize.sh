#!/usr/bin/env bash
# Builds Quillmere with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/ and runs under them the unit tests, the office bridge's
# tests and the window's conversions through the real LibreOffice (the
# command's and the hostile files' tests, the longest, run only in the usual
# build). The office itself is not instrumented; our side of the bridge is.
# Any finding fails.
#   tools/sanitize.sh [build|test]   just the build, or just the tests of a
#                                    finished build; both unless told
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build-sanitize"
tests=(app_tests filelist_tests output_tests platform_tests convert_tests folders_tests
       office_bridge_tests conversion_tests)

part="${1:-all}"
case "$part" in
  all | build | test) ;;
  *) echo "tools/sanitize.sh: build or test, not '$part'" >&2; exit 2 ;;
esac

if [ "$part" != test ]; then
  # -O1 and line tables only: quicker to build than the usual build, and enough
  # for the sanitizers' reports to name files and lines.
  cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
        -DQUILLMERE_SANITIZE=ON -DQUILLMERE_WERROR=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" --target "${tests[@]}" quillmere_office office_owner
fi
[ "$part" = build ] && exit 0

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
regex="^($(IFS='|'; echo "${tests[*]}"))\$"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200 -R "$regex"
