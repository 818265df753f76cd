#!/bin/sh
# Runs a program that shows one message box, prints the box's caption,
# presses Enter on it and exits with the program's exit status.
"$@" &
pid=$!
window=$(timeout 15 xdotool search --sync --onlyvisible --pid "$pid" | head -n 1)
xdotool getwindowname "$window"
timeout 15 xdotool windowfocus --sync "$window" key Return
wait "$pid"
