#!/usr/bin/env bash
# Zevra's resident memory over a long run with the focus (frames run only
# then), on a virtual X server with a window manager: VmRSS from
# /proc/<pid>/status every 1,000 frames, then the first, last and peak values.
# Frame counts come from the X server's reports of drawing into the window,
# which may merge two frames into one: they are lower bounds.
#   scripts/memory-flat.sh [build folder] [frames]   (default: build, 10000)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=${1:-$root/build}
frames=${2:-10000}

"$here/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
build=$(cd "$build" && pwd)
cmake --build "$build" -j2 --target zevra zv_ddraw zv_d3drm zv_e2e_drive >/dev/null

status=0
out=$("$build/bin/zv_e2e_drive" --frames "$frames" --rss-every 1000 --timeout 120) || status=$?
echo "$out"
# Growth from the first sample (after the first 1,000 frames, once the
# start-up allocations are done) to the last.
echo "$out" | awk 'BEGIN {n = 0}
    /^after/ {frames[n] = $2; rss[n] = $5; n++}
    END {
        if (n < 2) exit
        growth = rss[n - 1] - rss[0]
        printf "growth from %d to %d frames: %d kB (%.2f kB per 1,000 frames)\n",
               frames[0], frames[n - 1], growth, growth * 1000 / (frames[n - 1] - frames[0])
    }'
exit $status
