#!/bin/bash
# Painting in "Patrone" in the real program under a virtual X server: a
# colour by its symbol key, brush strokes with the mouse, undo by
# Alt+Backspace, saving by Ctrl+S, and the saved pattern read back.
#   painting_x11.sh BIN_DIR KERNEL_PROBE   (run it under xvfb-run)
# SHOTS=DIR keeps the screenshots.
set -euo pipefail
unset QT_QPA_PLATFORM
bin=$1
probe=$2
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

cp "$bin/Zorit" "$bin/libVpSimMod.so" "$bin/libVpZik.so" "$work/"
mkdir -p "$work/config" "$work/run" "$work/drive" "$work/w/A"
chmod 700 "$work/run"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run ZORIT_DRIVE_ROOT=$work/drive
# Palette entry i = (i, 3i mod 256, 255 - i).
python3 -c "
import sys
sys.stdout.buffer.write(bytes(b for i in range(256) for b in (i, 3 * i % 256, 255 - i, 0)))" >"$work/P.pal"
printf '[Files]\r\nPalette=P.pal\r\n' >"$work/Zorit.INI"
printf 'MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\nS1=>,FF1;\r\nTZ=50;\r\nWA=D10;\r\nS1=<,FF1;END;\r\n' >"$work/S.Skx"
"$probe" tiff-write "$work/S.TIF" --size 40x30 --bands >/dev/null
"$probe" --home "$work/probe" compile "$work/S.Skx" --pattern "$work/S.TIF" --save "$work/w/A/PROGRAMM1.3XH" \
    >/dev/null || fail "no program"
saved=$work/w/A/PROGRA_p.TIF
[ "$("$probe" tiff-read "$saved" | tail -1)" = "40 30 c22dd90fc2ac457d" ] || fail "unexpected pattern to start with"

dde() {
    printf '%s\0' "$1" | socat -t 60 - "UNIX-CONNECT:$work/run/dde-ZORIT-DDESERVER1" | xxd -p
}
window() {
    local w=
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$w" ] && break
        sleep 0.1
    done
    echo "$w"
}
shot() {
    sleep 0.7
    import -window "$1" "$2"
}
# Colours of the 40 x 30 picture in a shot at one pixel per cell, row 30 first.
picture() {
    convert "$1" -crop "40x30+$L0+$((B0 - 29))" +repage "$2"
}

for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
cd "$work"
./Zorit >/dev/null 2>"$work/stderr.txt" &
pid=$!
main=
for _ in $(seq 300); do
    for w in $(xdotool search --onlyvisible --pid "$pid" --name '^ZORIT$' 2>/dev/null); do
        [ "$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^WIDTH=//p')" -ge 800 ] && main=$w && break 2
    done
    sleep 0.1
done
[ -n "$main" ] || fail "no main window"
sleep 2
[ "$(dde "LOADPATTERN $work/w/A/PROGRAMM1.3XH")" = "01" ] || fail "LOADPATTERN refused"

xdotool windowfocus --sync "$main" key --clearmodifiers alt+p
sleep 0.3
xdotool key --clearmodifiers p
patrone=$(window Patrone)
[ -n "$patrone" ] || fail "no Patrone window"
palette=$(window Werkzeuge)
sleep 1

# Cell (x, y) lies at (L + x - 1, B - y + 1): (L, B) is the first entry-0
# pixel (#0000ff) of the picture's lowest line.
shot "$patrone" "$work/before.png"
read -r L0 B0 < <(python3 - "$work/before.png" <<'PY'
import subprocess, sys
out = subprocess.run(["convert", sys.argv[1], "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
blue = [tuple(map(int, l.split(":")[0].split(","))) for l in out.splitlines()[1:] if "#0000FF" in l]
bottom = max(y for _, y in blue)
print(min(x for x, y in blue if y == bottom), bottom)
PY
)
eval "$(xdotool getwindowgeometry --shell "$patrone")"
L=$((X + L0))
B=$((Y + B0))
picture "$work/before.png" "$work/picture0.png"

at() {
    echo "$((L + $1 - 1)) $((B - $2 + 1))"
}
stroke() {
    xdotool mousemove $(at "$1" "$2")
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    xdotool mousemove $(at "$3" "$4")
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
}

xdotool windowfocus --sync "$patrone" type A
stroke 5 10 20 10
stroke 5 12 14 21
xdotool windowfocus --sync "$patrone" type X
stroke 30 25 40 25

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
echo "zoomed cells: $counts"
xdotool windowfocus --sync "$patrone" key --clearmodifiers space
shot "$palette" "$work/palette.png"
panel=$(convert "$work/palette.png" -crop "1x1+30+225" -depth 8 txt:- | tail -1 | awk '{print $3}')
[ "$panel" = "#0D27F2" ] || fail "foreground panel is $panel"

# One undo takes the last stroke back; saving writes what is left.
xdotool windowfocus --sync "$patrone" key --clearmodifiers alt+BackSpace
sleep 0.3
shot "$patrone" "$work/undone.png"
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
picture "$work/after.png" "$work/picture2.png"
diff=$(compare -metric AE "$work/picture0.png" "$work/picture2.png" null: 2>&1 || true)
[ "$diff" = 0 ] || fail "picture differs from before painting by $diff pixels"
if [ -n "${SHOTS:-}" ]; then
    mkdir -p "$SHOTS"
    cp "$work"/*.png "$SHOTS/"
fi

[ "$(dde CLOSE)" = "01" ] || fail "CLOSE refused"
wait "$pid" || fail "exit status $?"
pid=
echo "OK"
