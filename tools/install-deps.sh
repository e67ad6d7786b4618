#!/usr/bin/env bash
# Installs, with apt-get, whatever Debian packages this machine lacks to build
# and run Quillmere; with --tests, also what its tests, benchmarks and checks
# need; and any packages named as arguments. Runs as root or through sudo.
#   tools/install-deps.sh [--tests] [PACKAGE...]
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libreoffice-calc-nogui libreoffice-dev
  python3    # draws the icons and writes the sample files at configure time
  xdg-utils  # opens the sample folder and web pages on the desktop
)
tests=(
  libgtest-dev googletest
  python3-xlrd zip unzip
  gnumeric  # ssconvert, an independent reader of workbooks that can also recalculate
  xvfb xauth fonts-liberation2 bc procps
  man-db groff-base
  clang-tidy clang-format
  dpkg-dev file desktop-file-utils appstream lintian
  xdotool x11-utils imagemagick
  slurm-wlm munge  # the real cluster of the tests labelled cluster
)
if [ "${1:-}" = --tests ]; then
  shift
  packages+=("${tests[@]}")
fi
packages+=("$@")

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
