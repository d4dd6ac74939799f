# Sourced by the end-to-end scripts: the updater's window as a person meets it
# on the display, through xdotool (there is no window manager: the program's
# own window is in front and takes the pointer), and screenshots of it.
# Needs REPO, KX_BUILD and a SHOTS folder.

WINDOW_TITLE="TAVIK8 Firmware Updater"
CLIENT_WIDTH=560
CLIENT_HEIGHT=360

# The updater's window id, waiting up to $1 seconds (default 60) for it.
wait_window() {
    local limit=${1:-60} i id
    for i in $(seq $((limit * 5))); do
        id=$(xdotool search --name "$WINDOW_TITLE" 2>/dev/null | head -1)
        if [ -n "$id" ]; then
            WINDOW=$id
            window_geometry
            return 0
        fi
        sleep 0.2
    done
    return 1
}

# The window's place (X, Y, WIDTH, HEIGHT) and its client area's origin
# (CLIENT_X, CLIENT_Y): Wine draws the frame and caption itself.
window_geometry() {
    eval "$(xdotool getwindowgeometry --shell "$WINDOW")"
    local border=$(((WIDTH - CLIENT_WIDTH) / 2))
    CLIENT_X=$((X + border))
    CLIENT_Y=$((Y + HEIGHT - CLIENT_HEIGHT - border))
}

window_exists() {
    xdotool search --name "$WINDOW_TITLE" >/dev/null 2>&1
}

# A left click at a point of the client area.
click_client() {
    xdotool mousemove $((CLIENT_X + $1)) $((CLIENT_Y + $2)) click 1
    # Far from the next click's place, and later than the double-click time.
    sleep 0.6
}

# The window as it is on the screen now, as $SHOTS/<name>.png.
shot() {
    mkdir -p "$SHOTS"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$SHOTS/$1.png" 2>/dev/null
}

# The brightness (r+g+b) of a client point in the last screenshot $1.
brightness() {
    convert "$SHOTS/$1.png" -crop "1x1+$(($2 + CLIENT_X - X))+$(($3 + CLIENT_Y - Y))" -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | awk '{print $1 + $2 + $3}'
}

# Whether a button shows at a client point in the last screenshot $1: a
# button is much lighter than the screen's dark background.
button_at() {
    [ "$(brightness "$1" "$2" "$3")" -gt 200 ] && echo shown || echo hidden
}

# Takes the screenshot $1 until the button at client point ($2, $3) is $4
# (shown or hidden), for up to $5 seconds; false if it never was.
wait_button() {
    local end=$((SECONDS + $5))
    while :; do
        shot "$1"
        [ "$(button_at "$1" "$2" "$3")" == "$4" ] && return 0
        [ "$SECONDS" -ge "$end" ] && return 1
        sleep 0.2
    done
}

# The places of the buttons (their middles, in client coordinates).
LEFT_BUTTON="104 324"  # SCAN FOR DEVICE, UPDATE FIRMWARE and NEXT share it
EXIT_BUTTON="456 324"
