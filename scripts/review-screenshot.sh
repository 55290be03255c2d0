#!/usr/bin/env bash
# Runs on an X display without a window manager (scripts/make-pictures.sh starts one): opens
# vane-desk on LIBRARY with SESSION selected, opens the review window, steps to the second
# recording and saves the window as OUT_FOLDER/review.png.
# Usage: scripts/review-screenshot.sh VANE_DESK LIBRARY OUT_FOLDER SESSION
set -euo pipefail
desk_program=$1 library=$2 out=$3 session=$4

window() {  # the visible window whose title is exactly TITLE, once it is there
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

"$desk_program" --select "$session" "$library" &
desk_pid=$!
trap 'kill "$desk_pid" 2>/dev/null || true' EXIT

desk=$(window "$(basename "$library") - Vane")
xdotool windowfocus --sync "$desk"
xdotool key --window "$desk" ctrl+e
review=$(window "Review Recordings - Vane")
xdotool windowsize --sync "$review" 1100 720
xdotool windowfocus --sync "$review"
sleep 0.5
xdotool key --window "$review" Right
sleep 1
import -window "$review" "$out/review.png"
echo "Wrote $out/review.png"
