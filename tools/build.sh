#!/usr/bin/env bash
# Configures and builds Quillmere in build/ (the program folder is build/quillmere).
# Arguments go to CMake: tools/build.sh -DQUILLMERE_WERROR=ON, as CI builds.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j"$(nproc)"
