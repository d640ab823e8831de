#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it in a window.
# Extra arguments go to the game (for example -R3 for 800 x 600).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --play
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target sortie -j"$(nproc)"
exec ./build/sortie -w "$@"
