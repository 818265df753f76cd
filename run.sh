#!/usr/bin/env bash
# Builds Zevra when needed and runs it in the folder that holds Can1.bmp.
# On a machine without a display it runs the program on a virtual X server,
# holds the space bar for a moment and leaves a screenshot and an animated
# GIF of the waves in out/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target zevra
exe="$PWD/$build/bin/zevra"

if [ -n "${DISPLAY:-}" ]; then
    cd data
    exec "$exe"
fi
mkdir -p out
exec scripts/with-display.sh --wm --size 1024x768 scripts/demo.sh "$exe" "$PWD/data" "$PWD/out"
