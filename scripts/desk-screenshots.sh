#!/usr/bin/env bash
# Runs on an X display without a window manager (scripts/make-pictures.sh starts one): opens
# vane-desk on LIBRARY with two sessions, selects their recordings, runs the plug-in through a
# per-state analysis of WIND_FILE and saves the windows on the way as PNG files in OUT_FOLDER.
# Usage: scripts/desk-screenshots.sh VANE_DESK LIBRARY WIND_FILE OUT_FOLDER SESSION...
# The clicks are placed for the layouts Vane ships; a changed layout means new places here.
set -euo pipefail
desk_program=$1 library=$2 wind_file=$3 out=$4
shift 4
selections=()
for session in "$@"; do
    selections+=(--select "$session")
done

# The visible window whose title is exactly TITLE, once it is there.
window() {
    timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}
click() {  # WINDOW X Y, relative to the window
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.7
}
save() {  # WINDOW FILE
    sleep 0.5
    import -window "$1" "$out/$2"
    echo "Wrote $out/$2"
}
save_with_menu() {  # WINDOW FILE: the window's place on the screen, with an open menu over it
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$1")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/$2"
    echo "Wrote $out/$2"
}

"$desk_program" "${selections[@]}" "$library" &
desk_pid=$!
trap 'kill "$desk_pid" 2>/dev/null || true' EXIT

desk=$(window "$(basename "$library") - Vane")
click "$desk" 300 307  # a recording of the selected sessions
xdotool key ctrl+a
click "$desk" 20 8    # File
save_with_menu "$desk" desk.png
xdotool key Escape
sleep 0.5

click "$desk" 106 8   # Plug-ins, after File and Edit
click "$desk" 186 73  # Bat/Environmental activity, after the other two
panel=$(window "Bat/Environmental activity")
click "$panel" 211 95  # Copy activity times: the panel says how many
save "$panel" plugin-panel.png

click "$panel" 211 67  # Choose wind file...
window "Open" >/dev/null
xdotool type --delay 5 "$wind_file"
xdotool key Return
preview=$(window "Wind file")
sleep 0.7
# At the size the sheet chooses on a 1280 x 900 screen; the decimal comma is guessed.
click "$preview" 884 665  # state column: Operating state
xdotool key Down Down Down Down Return
save "$preview" plugin-preview.png

click "$preview" 1048 777  # Wind
graph=$(window "Activity graph")
xdotool windowsize "$graph" 720 560 windowmove "$graph" 100 20
save "$graph" plugin-graph.png
click "$graph" 668 537  # Close

click "$panel" 211 123  # Yearly graph...
yearly=$(window "Yearly activity.png")
save "$yearly" plugin-yearly.png
