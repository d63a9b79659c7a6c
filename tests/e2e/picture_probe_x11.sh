#!/bin/bash
# picture_probe's window under a virtual X server with a window manager,
# driven with xdotool (pointer positions relative to the window): a level tab, the wheel, a typed cell size, a zoom
# panel, a split, Esc; pixels of the real window checked in shots.
#   picture_probe_x11.sh PICTURE_PROBE   (run it under x_server.py)
set -euo pipefail
# A real X window: the tests run offscreen otherwise.
unset QT_QPA_PLATFORM
probe=$1
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

python3 -c "
import sys
sys.stdout.buffer.write(bytes(b for i in range(256) for b in (i, 3 * i % 256, 255 - i, 0)))" >"$work/P.pal"

fail() {
    echo "FAIL: $*"
    cat "$work/out.txt"
    exit 1
}
# Waits up to five seconds for a line of the probe's output.
expect() {
    for _ in $(seq 50); do
        grep -qxF "$1" "$work/out.txt" && return 0
        sleep 0.1
    done
    fail "no line '$1'"
}
pixel() {
    # A window the manager is still framing cannot be read yet: no colour.
    import -window "$wid" "$work/shot.png" 2>/dev/null || return 0
    convert "$work/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | tail -1 | awk '{print $3}'
}
# Waits up to five seconds for a pixel of the window to take a colour.
expect_pixel() {
    local got=
    for _ in $(seq 25); do
        got=$(pixel "$1" "$2")
        [ "$got" = "$3" ] && return 0
        sleep 0.2
    done
    fail "pixel ($1, $2) is $got, not $3"
}

# 500 x 300 at the origin: tabs 30 high, then a paint box of 465 x 235.
"$probe" --home "$work" window --palette P.pal --size 1000x1000 --tabs A,B --geometry 0,0,500,300 \
    --zoom-steps 8 --quit-after 60000 >"$work/out.txt" 2>/dev/null &
pid=$!
wid=
for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --name '^picture_probe$' 2>/dev/null | head -1) && [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || fail "no window"
expect "GEOMETRY 0 0 500 300"
xdotool search --sync --onlyvisible --name '^picture_probe$' >/dev/null

# Row 1 lies on the paint box's last line: cell (1, 1) is palette entry 20.
expect_pixel 0 264 "#143CEB"

xdotool mousemove --window "$wid" 50 15 click 1
expect "LEVELS 3 2 CURRENT 1 REFERENCE 2"

xdotool mousemove --window "$wid" 100 150 click 4
expect "STATUS 0 1:79"

xdotool windowfocus --sync "$wid" key 5
expect "CELLSIZE 5 5"

# Zoom panel 2 (panels of 31 pixels), then a click in the pane places it.
xdotool mousemove --window "$wid" 490 75 click 1
expect "CELLSIZE 1 1"
xdotool mousemove --window "$wid" 100 100 click 1
expect "CELLSIZE 2 2"
expect_pixel 495 75 "#FFFF00"

# A right release on the pane's bar splits the pane there.
xdotool mousemove --window "$wid" 200 273 click 3
expect "PANES 195 270"

xdotool windowfocus --sync "$wid" key Escape
expect "CLOSED"
pid=
echo "OK"
