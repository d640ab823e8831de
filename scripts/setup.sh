#!/usr/bin/env bash
# Installs the Debian packages Sortie needs to build, play and test, but only
# those that are missing. Works as root (as CI runs it) or through sudo.
#   scripts/setup.sh          everything, for building and testing
#   scripts/setup.sh --play   only what building and playing need
set -euo pipefail

play_packages=(build-essential cmake pkg-config liballegro4-dev liballeggl4-dev libglu1-mesa-dev
               libgl1-mesa-dri libpng-dev)
test_packages=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev xvfb xauth xdotool imagemagick
               sox strace man-db groff-base desktop-file-utils)

wanted=("${play_packages[@]}")
if [ "${1:-}" != "--play" ]; then
  wanted+=("${test_packages[@]}")
fi

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#wanted[@]} packages are installed"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "setup: done"
