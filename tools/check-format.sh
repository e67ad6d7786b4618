#!/usr/bin/env bash
# Checks that our C++ sources are laid out as .clang-format says; prints each
# place that is not, and fails then. `clang-format -i FILE` lays a file out.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
