#!/usr/bin/env bash
# Runs clang-tidy, with the checks of .clang-tidy, over our own sources (not
# the code that moc and cppumaker generate), using the compile commands of a
# build folder; fails on any finding.
#   tools/lint.sh [BUILD_FOLDER [PATTERN]]
# BUILD_FOLDER is build/ unless given, and must be built; PATTERN, a regular
# expression, takes only the files whose paths it matches (src/batch/, say).
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
pattern="${2:-}"
if [ ! -f "$build/compile_commands.json" ]; then
  echo "$build/compile_commands.json is missing: build first (tools/build.sh)" >&2
  exit 1
fi
# Left out of what it prints: each command line, colours, and the count of the
# warnings it kept to itself in the Qt and UNO headers.
run-clang-tidy -quiet -j "$(nproc)" -p "$build" "^$here/(src|tests|bench)/.*$pattern" 2>&1 |
  sed 's/\x1b\[[0-9;]*m//g' |
  grep -v -e '^clang-tidy-[0-9]* ' -e '^[0-9]* warnings\? \(and [0-9]* errors\? \)\?generated\.$'
exit "${PIPESTATUS[0]}"
