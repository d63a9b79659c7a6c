#!/bin/bash
# A motif handed to other programs and back, in the real program under a
# virtual X server: a 6 x 5 area whose lower rows hold colour 0 is marked,
# written by "Kopieren nach" as a PCX and as a BMP file; ImageMagick reads
# the same colours from both, colour 0 as its own palette colour. "Einfügen
# aus" of each, placed by a click, puts back exactly the marked cells.
#   motif_exchange_x11.sh BIN_DIR KERNEL_PROBE   (run it under x_server.py)
# SHOTS=DIR keeps the screenshots.
set -euo pipefail
unset QT_QPA_PLATFORM
bin=$1
probe=$2
work=$(mktemp -d)
source "$(dirname "$0")/pattern_x11_common.sh"
make_program_folder w/A
mkdir -p "$work/Temp"

# "Einfügen aus" (u) or "Kopieren nach" (n) from the Edit menu, with the
# file name typed into the dialog.
edit_file() {
    xdotool windowfocus --sync "$main" key --clearmodifiers alt+b
    sleep 0.3
    xdotool key --clearmodifiers "$1"
    sleep 1
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 20 "$2"
    xdotool key Return
    sleep 1
}

open_pattern_window w/A
sleep 1
shot "$patrone" "$work/before.png"
locate_picture "$work/before.png" "$patrone"

# The mark button, then columns 3..8 of rows 1..5: rows 1 to 3 hold colour
# 0, rows 4 and 5 colour 1 (the pattern's bands are four rows high).
xdotool mousemove --window "$palette" 15 $((bar + 143)) click 1
sleep 0.3
drag 3 1 8 5
edit_file n "$work/w/M4.PCX"
edit_file n "$work/w/M4.bmp"
[ -f "$work/w/M4.PCX" ] || fail "no M4.PCX"
[ -f "$work/w/M4.bmp" ] || fail "no M4.bmp"
colours "$work/w/M4.PCX" >"$work/pcx.txt"
colours "$work/w/M4.bmp" >"$work/bmp.txt"
cmp -s "$work/pcx.txt" "$work/bmp.txt" || fail "PCX and BMP differ: $(cat "$work/pcx.txt") / $(cat "$work/bmp.txt")"
# P.pal: colour 0 is 0000ff, colour 1 is 0103fe.
printf '%s\n' "0103fe 0103fe 0103fe 0103fe 0103fe 0103fe" "0103fe 0103fe 0103fe 0103fe 0103fe 0103fe" \
    "0000ff 0000ff 0000ff 0000ff 0000ff 0000ff" "0000ff 0000ff 0000ff 0000ff 0000ff 0000ff" \
    "0000ff 0000ff 0000ff 0000ff 0000ff 0000ff" >"$work/want.txt"
cmp -s "$work/pcx.txt" "$work/want.txt" || fail "M4.PCX reads $(cat "$work/pcx.txt")"

# Each file back, its lower left cell placed by a click: the PCX at
# (20, 20), the BMP at (30, 10).
edit_file u "$work/w/M4.PCX"
xdotool mousemove $(at 20 20)
sleep 0.2
xdotool click 1
sleep 0.5
edit_file u "$work/w/M4.bmp"
xdotool mousemove $(at 30 10)
sleep 0.2
xdotool click 1
sleep 0.5
# The right button on the mark button takes the frame away.
xdotool mousemove --window "$palette" 15 $((bar + 143)) click 3
sleep 0.3
shot "$patrone" "$work/placed.png"
expect_cells "$work/before.png" "$work/placed.png" <<'PY' || fail "placed motifs"
# Row y is line 30 - y; the marked area is columns 3..8 of rows 1..5.
for x0, y0 in ((20, 20), (30, 10)):
    for r in range(5):
        want[30 - (y0 + r)][x0 - 1:x0 + 5] = before[30 - (1 + r)][2:8]
PY
keep_shots
close_program
echo "OK"
