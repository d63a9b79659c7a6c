#!/bin/bash
# The pattern window of the real program under a virtual X server with a
# window manager: a program loaded over DDE, the window opened from the
# menu with the keyboard, its pixels, the palette beside it, Esc, "&Neu"
# and the placement written at the end.
#   pattern_window_x11.sh BIN_DIR KERNEL_PROBE   (run it under x_server.py)
set -euo pipefail
unset QT_QPA_PLATFORM
bin=$1
probe=$2
work=$(mktemp -d)
source "$(dirname "$0")/pattern_x11_common.sh"
make_program_folder w

visible_count() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l
}
pixel() {
    convert "$work/shot.png" -crop "1x1+$1+$2" -depth 8 txt:- | tail -1 | awk '{print $3}'
}
shot() {
    sleep 0.5
    import -window "$1" "$work/shot.png"
}
expect_pixel() {
    local got
    got=$(pixel "$1" "$2")
    [ "$got" = "$3" ] || fail "pixel ($1, $2) is $got, not $3"
}

open_pattern_window w
sleep 1
[ "$(visible_count Patrone)" = 1 ] || fail "more than one Patrone"
[ -n "$palette" ] || fail "no palette"
geometry=$(geometry_of "$palette" | tr '\n' ' ')
echo "$geometry" | grep -q "WIDTH=109 HEIGHT=$((244 + bar))" || fail "palette: $geometry"
[ "$bar" -ge 12 ] || fail "palette without its title bar: $geometry"
# Its frame stands at the screen's left edge (openbox may keep the tool
# window's one-pixel border inside the screen).
frame_position "$palette"
[ "$FX" -le 1 ] || fail "palette frame at x $FX: $geometry"
[ -z "${PALETTE_SHOT:-}" ] || import -window "$palette" "$PALETTE_SHOT"

eval "$(geometry_of "$patrone")"
shot "$patrone"
cp "$work/shot.png" "${PATTERN_SHOT:-/dev/null}" 2>/dev/null || true
# The tab "Nadel" and zoom panel 1 are marked yellow.
expect_pixel 8 4 "#FFFF00"
expect_pixel $((WIDTH - 15)) 33 "#FFFF00"
# Row 1 on the pane's lowest pixel line: 40 cells of palette entry 0; row 4
# entry 1, row 30 entry 7.
bottom=$(python3 - "$work/shot.png" <<'PY'
import subprocess, sys
# The lowest line whose first pixel is entry 0's blue.
out = subprocess.run(["convert", sys.argv[1], "-crop", "1x10000+0+0", "-depth", "8", "txt:-"],
                     capture_output=True, text=True).stdout
rows = [int(l.split(",")[1].split(":")[0]) for l in out.splitlines()[1:] if "#0000FF" in l]
print(max(rows) if rows else -1)
PY
)
[ "$bottom" -ge 0 ] || fail "no row 1"
expect_pixel 0 "$bottom" "#0000FF"
expect_pixel 39 "$bottom" "#0000FF"
[ "$(pixel 40 "$bottom")" != "#0000FF" ] || fail "row 1 is wider than 40 cells"
expect_pixel 0 $((bottom - 3)) "#0103FE"
expect_pixel 0 $((bottom - 29)) "#0715F8"

# The palette never becomes the active window; resting the pointer on its
# ellipse button shows the button's hint all the same, beside the pointer.
xdotool windowfocus --sync "$patrone"
eval "$(geometry_of "$palette")"
xdotool mousemove $((X + 40)) $((Y + bar + 38))
sleep 0.2
xdotool mousemove $((X + 41)) $((Y + bar + 39))
hint=0
for _ in $(seq 20); do
    sleep 0.25
    import -window root "$work/root.png"
    hint=$(convert "$work/root.png" -crop "300x80+$((X + 41))+$((Y + bar + 39))" -depth 8 txt:- | grep -c "#FFFFDC" || true)
    [ "$hint" -ge 500 ] && break
done
[ -z "${PALETTE_HINT_SHOT:-}" ] || cp "$work/root.png" "$PALETTE_HINT_SHOT"
[ "$hint" -ge 500 ] || fail "no hint on the palette while Patrone is active ($hint pixels)"
xdotool mousemove $((X + 300)) $((Y + 400))
eval "$(geometry_of "$patrone")"

# Space: the temporary zoom of 7 x 7 pixels with grid lines.
xdotool windowfocus --sync "$patrone" key --clearmodifiers space
shot "$patrone"
cp "$work/shot.png" "${PATTERN_ZOOM_SHOT:-/dev/null}" 2>/dev/null || true
lines=$(python3 - "$work/shot.png" "$bottom" <<'PY'
import subprocess, sys
# Colours along the pane's lowest cell row, one line above the bottom.
out = subprocess.run(["convert", sys.argv[1], "-crop", "120x1+0+%d" % (int(sys.argv[2]) - 1), "-depth", "8", "txt:-"],
                     capture_output=True, text=True).stdout
xs = {}
for l in out.splitlines()[1:]:
    x = int(l.split(",")[0])
    c = l.split()[2]
    if c in ("#C85837", "#C95B36"):
        xs[x] = c
print(" ".join("%d%s" % (x, c) for x, c in sorted(xs.items())))
PY
)
echo "grid: $lines"
python3 - "$lines" <<'PY' || fail "grid lines: $lines"
import sys
items = sys.argv[1].split()
xs = [int(i[:-7]) for i in items]
colours = set(i[-7:] for i in items)
gaps = set(b - a for a, b in zip(xs, xs[1:]))
sys.exit(0 if len(xs) >= 5 and gaps == {7} and colours == {"#C85837", "#C95B36"} else 1)
PY

# Esc hides the window and its palette; the item brings the same window back.
xdotool windowfocus --sync "$patrone" key --clearmodifiers Escape
sleep 0.5
[ "$(visible_count Patrone)" = 0 ] || fail "Patrone still shown"
[ "$(visible_count Werkzeuge)" = 0 ] || fail "palette still shown"
xdotool windowfocus --sync "$main" key --clearmodifiers alt+p
sleep 0.3
xdotool key --clearmodifiers p
again=$(window Patrone)
[ "$again" = "$patrone" ] || fail "another window: $again, not $patrone"
[ -n "$(window Werkzeuge)" ] || fail "palette not back"

# "&Neu" frees the window.
xdotool windowfocus --sync "$main" key --clearmodifiers alt+d
sleep 0.3
xdotool key --clearmodifiers n
sleep 1
[ -z "$(xdotool search --name '^Patrone$' 2>/dev/null)" ] || fail "Patrone left after Neu"
[ "$(visible_count Werkzeuge)" = 0 ] || fail "palette left after Neu"

[ "$(dde CLOSE)" = "01" ] || fail "CLOSE refused"
wait "$pid" || fail "exit status $?"
pid=
placement=$(tr -d '\r' <"$work/Zorit.INI" | sed -n 's/^PatroneMalen=//p')
[ ${#placement} = 29 ] && [ "${placement:0:2}" = "X " ] || fail "placement '$placement'"
echo "OK"
