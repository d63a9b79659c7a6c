#!/bin/bash
# Painting in "Patrone" in the real program under a virtual X server: a
# colour by its symbol key, brush strokes with the mouse, undo by
# Alt+Backspace, saving by Ctrl+S, and the saved pattern read back.
#   painting_x11.sh BIN_DIR KERNEL_PROBE   (run it under x_server.py)
# SHOTS=DIR keeps the screenshots.
set -euo pipefail
unset QT_QPA_PLATFORM
bin=$1
probe=$2
work=$(mktemp -d)
source "$(dirname "$0")/pattern_x11_common.sh"
make_program_folder w/A
saved=$work/w/A/PROGRA_p.TIF
[ "$("$probe" tiff-read "$saved" | tail -1)" = "40 30 c22dd90fc2ac457d" ] || fail "unexpected pattern to start with"

shot() {
    sleep 0.7
    import -window "$1" "$2"
}

open_pattern_window w/A
sleep 1

shot "$patrone" "$work/before.png"
shot "$main" "$work/main0.png"
locate_picture "$work/before.png" "$patrone"
picture "$work/before.png" "$work/picture0.png"

xdotool windowfocus --sync "$patrone" type A
drag 5 10 20 10
drag 5 12 14 21
xdotool windowfocus --sync "$patrone" type X
drag 30 25 40 25

# The strokes on the bands, under the temporary zoom of 7 x 7 pixels.
xdotool windowfocus --sync "$patrone" key --clearmodifiers space
shot "$patrone" "$work/zoomed.png"
counts=$(python3 - "$work/zoomed.png" <<'PY'
import subprocess, sys
out = subprocess.run(["convert", sys.argv[1], "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
n = {"#1339EC": 0, "#0D27F2": 0}
for l in out.splitlines()[1:]:
    c = l.split()[2]
    if c in n:
        n[c] += 1
# Whole cells: 7 x 7 pixels less the grid line of each side.
print(round(n["#1339EC"] / 36), round(n["#0D27F2"] / 36))
PY
)
[ "$counts" = "26 11" ] || fail "zoomed cells: $counts, not 26 of entry 19 and 11 of entry 13"
xdotool windowfocus --sync "$patrone" key --clearmodifiers space
shot "$palette" "$work/palette.png"
panel=$(convert "$work/palette.png" -crop "1x1+30+$((bar + 225))" -depth 8 txt:- | tail -1 | awk '{print $3}')
[ "$panel" = "#0D27F2" ] || fail "foreground panel is $panel"

# One undo takes the last stroke back; saving writes what is left.
xdotool windowfocus --sync "$patrone" key --clearmodifiers alt+BackSpace
sleep 0.3
shot "$patrone" "$work/undone.png"
shot "$main" "$work/main1.png"
picture "$work/undone.png" "$work/picture1.png"
[ "$(convert "$work/picture1.png" -depth 8 txt:- | grep -c '#0D27F2' || true)" = 0 ] || fail "stroke 3 still shown"
xdotool windowfocus --sync "$patrone" key --clearmodifiers ctrl+s
sleep 1.5
got=$("$probe" tiff-read "$saved" | tail -1)
[ "$got" = "40 30 125efefa7c7f4485" ] || fail "saved after one undo: $got"
tiffinfo "$saved" 2>/dev/null | grep -q "LZW" || fail "not LZW"
tiffinfo "$saved" 2>/dev/null | grep -q "Image Width: 40 Image Length: 30" || fail "not 40 x 30"

# Two more undos give the original back.
xdotool windowfocus --sync "$patrone" key --clearmodifiers alt+BackSpace
sleep 0.3
xdotool windowfocus --sync "$patrone" key --clearmodifiers alt+BackSpace
sleep 0.3
xdotool windowfocus --sync "$patrone" key --clearmodifiers ctrl+s
sleep 1.5
got=$("$probe" tiff-read "$saved" | tail -1)
[ "$got" = "40 30 c22dd90fc2ac457d" ] || fail "saved after three undos: $got"
shot "$patrone" "$work/after.png"
shot "$main" "$work/main2.png"
picture "$work/after.png" "$work/picture2.png"
diff=$(compare -metric AE "$work/picture0.png" "$work/picture2.png" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "picture differs from before painting by $diff pixels"
# The main window's tool bar: the undo button greyed before painting and
# after the last undo, in colour after the first.
for i in 0 1 2; do convert "$work/main$i.png" -crop 660x26+0+20 +repage "$work/bar$i.png"; done
[ "$(compare -metric AE "$work/bar0.png" "$work/bar2.png" null: 2>&1 || true)" = 0 ] || fail "undo button not greyed"
[ "$(compare -metric AE "$work/bar0.png" "$work/bar1.png" null: 2>&1 || true)" != 0 ] || fail "undo button greyed"
if [ -n "${SHOTS:-}" ]; then
    mkdir -p "$SHOTS"
    cp "$work"/*.png "$SHOTS/"
fi

[ "$(dde CLOSE)" = "01" ] || fail "CLOSE refused"
wait "$pid" || fail "exit status $?"
pid=
echo "OK"
