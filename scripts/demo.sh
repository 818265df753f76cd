#!/usr/bin/env bash
# Drives a running display: starts Zevra, gives it the focus, holds the space
# bar while recording frames, then closes it with Escape.
#   demo.sh <zevra executable> <folder with Can1.bmp> <output folder>
set -uo pipefail
exe=$1
data=$2
out=$3
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT

(cd "$data" && exec "$exe") &
pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n1)
if [ -z "$window" ]; then
    echo "Zevra opened no window" >&2
    kill "$pid" 2>/dev/null
    wait "$pid"
    exit 1
fi
timeout 10 xdotool windowactivate --sync "$window" 2>/dev/null || timeout 10 xdotool windowfocus --sync "$window"
sleep 1

grab() { import -window "$window" "$1" 2>/dev/null; }

grab "$out/zevra-still.png"
import -frame -window "$window" "$out/zevra-window.png" 2>/dev/null
xdotool keydown space
for i in $(seq -w 0 23); do
    grab "$frames/frame-$i.png"
    [ "$i" = 08 ] && xdotool keyup space
done
grab "$out/zevra.png"
convert -delay 8 -loop 0 "$frames"/frame-*.png -layers Optimize "$out/zevra.gif"

# Keys sent to a window by id arrive as synthetic events, which the
# toolkit ignores: focus the window and type into it instead.
timeout 10 xdotool windowactivate --sync "$window" 2>/dev/null || timeout 10 xdotool windowfocus --sync "$window"
xdotool key Escape
for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "Zevra did not close on Escape" >&2
    kill "$pid"
fi
wait "$pid"
status=$?
echo "screenshot: $out/zevra.png"
echo "before the waves: $out/zevra-still.png (with its frame: $out/zevra-window.png)"
echo "animation: $out/zevra.gif"
echo "Zevra exited with status $status"
exit $status
