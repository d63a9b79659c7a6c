#!/bin/bash
# The motif in the real program under a virtual X server: a region marked
# with the mark tool, copied by Ctrl+C, written as a PCX file through the
# file dialog, turned by Ctrl+D, and a PCX file inserted, placed by a click
# and saved with the pattern.
#   motif_x11.sh BIN_DIR KERNEL_PROBE PAINT_PROBE   (run it under x_server.py)
# SHOTS=DIR keeps the screenshots.
set -euo pipefail
unset QT_QPA_PLATFORM
bin=$1
probe=$2
paint=$3
work=$(mktemp -d)
source "$(dirname "$0")/pattern_x11_common.sh"
make_program_folder w/A
mkdir -p "$work/Temp"
saved=$work/w/A/PROGRA_p.TIF
# The motif to insert: rows from the top 7 7 7 62 63 and 0 0 200 200 200.
printf 'set 1 1 2 7\nset 1 2 2 7\nset 1 3 2 7\nset 1 4 2 62\nset 1 5 2 63\nset 1 3 1 200\nset 1 4 1 200\nset 1 5 1 200
button BereichMarkieren_SpeedButton left\nev 1 1 1\nev 5 2 1\nev 5 2 0\ncopyto %s\n' "$work/w/muster.PCX" >"$work/m.txt"
"$paint" --work "$work/probe.bmp" "$work/m.txt" >/dev/null || fail "no muster.PCX"

size() {
    identify -format '%w %h' "$1"
}

open_pattern_window w/A
colours=$(window Farben)
[ -n "$colours" ] || fail "no Farben window"
sleep 1

shot "$patrone" "$work/before.png"
locate_picture "$work/before.png" "$patrone"
# The mark button is the first of the palette's motif row.
tool() {
    xdotool mousemove --window "$palette" "$1" $((bar + $2)) click 1
    sleep 0.3
}
shot "$colours" "$work/farben.png"
shot "$palette" "$work/werkzeuge.png"
import -window root "$work/screen.png"

tool 15 143
drag 5 2 9 9
xdotool windowfocus --sync "$patrone" key --clearmodifiers ctrl+c
sleep 0.5
clip=$work/Temp/Clip.bmp
[ -f "$clip" ] || fail "no Clip.bmp"
[ "$(size "$clip")" = "5 8" ] || fail "Clip.bmp is $(size "$clip")"
cmp -s "$clip" "$clip"O || fail "Clip.bmpO differs"

# "Kopieren nach" through the file dialog.
xdotool windowfocus --sync "$main" key --clearmodifiers alt+b
sleep 0.3
xdotool key --clearmodifiers n
sleep 1
xdotool type --delay 20 "$work/w/m.pcx"
xdotool key Return
sleep 1
[ -f "$work/w/m.pcx" ] || fail "no m.pcx"
pcxtoppm "$work/w/m.pcx" >"$work/m.ppm" 2>/dev/null || fail "m.pcx unreadable"
[ "$(size "$work/m.ppm")" = "5 8" ] || fail "m.pcx is $(size "$work/m.ppm")"
cells "$work/m.ppm" | awk '{print $1}' | tr '\n' ' ' >"$work/m.txt"
echo "m.pcx first column: $(cat "$work/m.txt")"

xdotool windowfocus --sync "$patrone" key --clearmodifiers ctrl+d
sleep 0.5
[ "$(size "$clip")" = "8 5" ] || fail "turned Clip.bmp is $(size "$clip")"

# "Einfügen aus", placed by a click at (20, 20).
xdotool windowfocus --sync "$main" key --clearmodifiers alt+b
sleep 0.3
xdotool key --clearmodifiers u
sleep 1
xdotool type --delay 20 "$work/w/muster.PCX"
xdotool key Return
sleep 1
title=$(xdotool getwindowname "$patrone")
[ "$title" = "$work/w/muster.PCX  (5x2)" ] || fail "caption $title"
shot "$patrone" "$work/inserted.png"
xdotool mousemove $(at 20 20)
sleep 0.2
xdotool click 1
sleep 0.5
xdotool windowfocus --sync "$patrone" key --clearmodifiers ctrl+s
sleep 1.5
[ "$("$probe" tiff-read "$saved" | tail -1)" != "40 30 c22dd90fc2ac457d" ] || fail "pattern not saved"
# At one pixel a cell the picture shows the colour of each cell; the red of
# P.pal is the index. The right button on the mark button takes the frame
# away.
shot "$patrone" "$work/framed.png"
xdotool mousemove --window "$palette" 15 $((bar + 143)) click 3
sleep 0.3
shot "$patrone" "$work/placed.png"
expect_cells "$work/before.png" "$work/placed.png" <<'PY' || fail "placed motif"
# Lines run from the top (row 30); row y is line 30 - y.
want[30 - 21][19:24] = [7, 7, 7, 62, 63]
want[30 - 20][19:24] = [0, 0, 200, 200, 200]
PY
import -window root "$work/screen_end.png"
keep_shots
close_program
echo "OK"
