#!/usr/bin/env bash
# Installs what is missing, builds Quillmere and starts it.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/tools/install-deps.sh"
# Without the tests and benchmarks, which need tools that running does not.
"$here/tools/build.sh" -DBUILD_TESTING=OFF
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "There is no display to show the Quillmere window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "On a machine without a desktop, run it under a virtual display (apt-get install xvfb):" >&2
  echo "  xvfb-run -a -s '-screen 0 1280x1024x24' $here/build/quillmere/quillmere" >&2
  exit 1
fi
exec "$here/build/quillmere/quillmere"
