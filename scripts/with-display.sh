#!/usr/bin/env bash
# Runs a command on a virtual X server of its own, optionally with a light
# window manager, and returns the command's exit status.
#   with-display.sh [--wm] [--size WxH] command args...
set -uo pipefail

wm=0
size=1280x1024
while [ $# -gt 0 ]; do
    case "$1" in
        --wm) wm=1; shift ;;
        --size) size=$2; shift 2 ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--wm] [--size WxH] command..." >&2; exit 2; }

here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# -displayfd lets the server pick a free display, so parallel runs never race.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY

if [ "$wm" = 1 ]; then
    # Our own configuration: no key bindings, so Alt+Space reaches the program.
    openbox --config-file "$here/openbox-rc.xml" >"$work/wm.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
fi

"$@"
status=$?
exit $status
