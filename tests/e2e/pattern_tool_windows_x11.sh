#!/bin/bash
# The pattern window's tool windows "Werkzeuge" and "Farben" under the
# window manager: placed beside each other without covering each other,
# and back where they stood when "Patrone" is closed (Alt+F4) and opened
# again, also after the user has moved "Farben".
#   pattern_tool_windows_x11.sh BIN_DIR KERNEL_PROBE   (run it under x_server.py)
set -euo pipefail
unset QT_QPA_PLATFORM
bin=$1
probe=$2
work=$(mktemp -d)
source "$(dirname "$0")/pattern_x11_common.sh"
make_program_folder w

# The window's frame on the screen as "LEFT TOP WIDTH HEIGHT": the client
# area (from xwininfo: xdotool counts a framed window's offset twice)
# widened by the frame the window manager announces.
frame() {
    local extents l r t b X Y WIDTH HEIGHT
    eval "$(xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left X: *\(-*[0-9]*\)$/X=\1/p
        s/^ *Absolute upper-left Y: *\(-*[0-9]*\)$/Y=\1/p
        s/^ *Width: *\([0-9]*\)$/WIDTH=\1/p
        s/^ *Height: *\([0-9]*\)$/HEIGHT=\1/p')"
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ' ')
    IFS=, read -r l r t b <<<"${extents:-0,0,0,0}"
    echo "$((X - l)) $((Y - t)) $((WIDTH + l + r)) $((HEIGHT + t + b))"
}
# Succeeds when the two frames share no pixel.
apart() {
    python3 - "$1" "$2" <<'PY'
import sys
a = list(map(int, sys.argv[1].split()))
b = list(map(int, sys.argv[2].split()))
sys.exit(0 if a[0] + a[2] <= b[0] or b[0] + b[2] <= a[0] or a[1] + a[3] <= b[1] or b[1] + b[3] <= a[1] else 1)
PY
}
# Waits until the window's frame has stayed the same for half a second
# (the window manager has framed it and the program has placed it).
settled() {
    local last= now
    for _ in $(seq 40); do
        now=$(frame "$1")
        [ "$now" = "$last" ] && { echo "$now"; return; }
        last=$now
        sleep 0.25
    done
    echo "$now"
}
check_apart() {
    local tools colours picture
    tools=$(settled "$palette")
    colours=$(settled "$farben")
    picture=$(settled "$patrone")
    echo "$1: Werkzeuge $tools, Farben $colours, Patrone $picture"
    apart "$tools" "$colours" || fail "$1: Farben ($colours) and Werkzeuge ($tools) cover each other"
    apart "$colours" "$picture" || fail "$1: Farben ($colours) lies under Patrone ($picture)"
}
reopen() {
    xdotool windowfocus --sync "$patrone" key --clearmodifiers alt+F4
    for _ in $(seq 50); do
        [ -z "$(xdotool search --onlyvisible --name '^Farben$' 2>/dev/null)" ] && break
        sleep 0.1
    done
    [ -z "$(xdotool search --onlyvisible --name '^Patrone$' 2>/dev/null)" ] || fail "Alt+F4 left Patrone open"
    xdotool windowfocus --sync "$main" key --clearmodifiers alt+p
    sleep 0.3
    xdotool key --clearmodifiers p
    [ "$(window Patrone)" = "$patrone" ] || fail "another Patrone"
    [ "$(window Farben)" = "$farben" ] || fail "another Farben"
}

open_pattern_window w
[ -n "$palette" ] || fail "no Werkzeuge"
farben=$(window Farben)
[ -n "$farben" ] || fail "no Farben"
check_apart "first shown"
import -window root "$work/first.png"
first_tools=$(settled "$palette")
first_colours=$(settled "$farben")

reopen
check_apart "shown again"
import -window root "$work/again.png"
[ "$(settled "$palette")" = "$first_tools" ] || fail "Werkzeuge moved: $(frame "$palette"), was $first_tools"
[ "$(settled "$farben")" = "$first_colours" ] || fail "Farben moved: $(frame "$farben"), was $first_colours"

# Moved by hand to the right of Patrone, it comes back there.
read -r px py pw ph < <(settled "$patrone")
xdotool windowmove --sync "$farben" $((px + pw + 40)) $((py + 50))
moved=$(settled "$farben")
reopen
check_apart "moved and shown again"
import -window root "$work/moved.png"
[ "$(settled "$farben")" = "$moved" ] || fail "Farben did not come back where it was moved: $(frame "$farben"), was $moved"
keep_shots
close_program
echo "tool windows: passed"
