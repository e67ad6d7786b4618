#!/usr/bin/env bash
# Installs, with apt-get, whatever Debian packages the build, the program and
# its tests need and this machine lacks, and any packages named as arguments.
# Runs as root or through sudo.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libgtest-dev googletest
  libreoffice-calc-nogui libreoffice-dev
  xdg-utils  # opens the sample folder and web pages on the desktop
  python3 python3-xlrd zip unzip
  gnumeric  # ssconvert, an independent reader of workbooks that can also recalculate
  xvfb xauth fonts-liberation2 bc procps
  man-db groff-base
  clang-tidy clang-format
  dpkg-dev file desktop-file-utils appstream lintian
  xdotool x11-utils imagemagick
  "$@"
)

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
