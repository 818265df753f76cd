#!/bin/sh
# Starts the probe program, waits for its main window, sends it the given
# shell commands (after focusing it; $PROBE_PID is the program) and exits
# with the program's status.
#   drive_probe.sh program commands...
program=$1
shift
"$program" &
PROBE_PID=$!
export PROBE_PID
window=$(timeout 15 xdotool search --sync --onlyvisible --pid "$PROBE_PID" | head -n 1)
timeout 15 xdotool windowfocus --sync "$window"
for command in "$@"; do
    sh -c "$command"
done
wait "$PROBE_PID"
