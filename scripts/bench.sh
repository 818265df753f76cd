#!/usr/bin/env bash
# Builds the benchmarks with optimisation and prints their figures:
# the wave step and mesh, the rasteriser and the whole Direct3D frame
# against Mesa's llvmpipe, DirectDraw blits and the present into a window.
#   scripts/bench.sh [benchmark-name ...]   (default: all of them)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
build=${BUILD_DIR:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
all=(sim_bench raster_frame_bench d3d_frame_bench ddraw_blit_bench present_bench)
wanted=("${@:-${all[@]}}")
cmake --build "$build" -j"$(nproc)" --target "${wanted[@]}"
for bench in "${wanted[@]}"; do
    echo
    echo "== $bench"
    if [ "$bench" = present_bench ]; then
        scripts/with-display.sh --size 2560x1440 "$build/bin/$bench"
    else
        "$build/bin/$bench"
    fi
done
