#!/usr/bin/env bash
# Installs the Debian packages VORN-3D needs to build, test and run (as root; skips what is there),
# and any further packages named as arguments.
set -euo pipefail
packages=(
  build-essential cmake clang libclang-rt-14-dev
  qt6-base-dev qt6-svg-dev libqt6opengl6-dev libgl-dev libgl1-mesa-dri qt6-translations-l10n
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils xdotool imagemagick poppler-utils fonts-dejavu-core fonts-liberation bc
  appstream desktop-file-utils
  "$@"
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq || true
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
