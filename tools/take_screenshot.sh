#!/usr/bin/env bash
# Takes the screenshot that the package ships beside its AppStream metadata:
# the real Quillmere window, as it opens for a new user, on a virtual display
# (Xvfb), captured with ImageMagick's import and saved as PNG.
#
# usage: take_screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail
usage="usage: take_screenshot.sh PROGRAM OUTPUT.png"
program=$(realpath "${1:?$usage}")
output=${2:?$usage}

if [ -z "${QUILLMERE_SCREENSHOT_DISPLAY:-}" ]; then
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null ||
            { echo "take_screenshot.sh: $tool is missing (tools/install-deps.sh --tests installs it)" >&2; exit 1; }
    done
    export QUILLMERE_SCREENSHOT_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash "$0" "$@"
fi

# A new user, with a private office profile and no Qt platform from the caller
# (CTest runs with the offscreen one). The one setting: the folder for the
# workbooks, which would otherwise show this temporary home's random path.
work=$(mktemp -d)
pid=
cleanup()
{
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/home/.config"
printf '[Quillmere]\nText1=/home/user/Workbooks/\n' >"$work/home/.config/Mirthvale.conf"
unset QT_QPA_PLATFORM
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache \
       XDG_DATA_HOME=$work/home/.local/share LC_ALL=C.UTF-8

"$program" >"$work/program.log" 2>&1 &
pid=$!

# The window, once it shows with its title.
window=
for _ in $(seq 240); do
    kill -0 "$pid" 2>/dev/null || { echo "take_screenshot.sh: $program ended before its window showed:" >&2; cat "$work/program.log" >&2; exit 1; }
    window=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Quillmere' 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.25
done
[ -n "$window" ] || { echo "take_screenshot.sh: no Quillmere window within 60 seconds" >&2; cat "$work/program.log" >&2; exit 1; }
# Let it finish painting.
sleep 2
mkdir -p "$(dirname "$output")"
import -window "$window" "png:$work/shot.png"
mv "$work/shot.png" "$output"
echo "take_screenshot.sh: $(xdotool getwindowname "$window") -> $output"
