#!/usr/bin/env bash
# Installs what is missing, builds Quillmere and runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/install-deps.sh"
"$here/tools/build.sh"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 1200
