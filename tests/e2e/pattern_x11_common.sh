# What the pattern window's runs under a virtual X server share: a fresh
# program folder with its own configuration, runtime and drive folders, the
# test palette (entry i = (i, 3i mod 256, 255 - i)), a 40 x 30 program
# compiled with a banded pattern, the DDE command, finding windows and
# starting the program. Sourced after `bin`, `probe` and `work` are set.

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

# make_program_folder DIR: the program copy in $work and PROGRAMM1.3XH (with
# its pattern) in $work/DIR.
make_program_folder() {
    cp "$bin/Zorit" "$bin/libVpSimMod.so" "$bin/libVpZik.so" "$work/"
    mkdir -p "$work/config" "$work/run" "$work/drive" "$work/$1"
    chmod 700 "$work/run"
    export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run ZORIT_DRIVE_ROOT=$work/drive
    python3 -c "
import sys
sys.stdout.buffer.write(bytes(b for i in range(256) for b in (i, 3 * i % 256, 255 - i, 0)))" >"$work/P.pal"
    printf '[Files]\r\nPalette=P.pal\r\n' >"$work/Zorit.INI"
    printf 'MODULSET TEST;\r\nBEGIN\r\n$ZR_TYP=311;\r\n$NR1=1,101;\r\n$S_1=Z1,1,D1;[]=MAIN;\r\nEND;\r\nMODUL MAIN;\r\nBEGIN\r\nS1=>,FF1;\r\nTZ=50;\r\nWA=D10;\r\nS1=<,FF1;END;\r\n' >"$work/S.Skx"
    "$probe" tiff-write "$work/S.TIF" --size 40x30 --bands >/dev/null
    "$probe" --home "$work/probe" compile "$work/S.Skx" --pattern "$work/S.TIF" --save "$work/$1/PROGRAMM1.3XH" \
        >/dev/null || fail "no program"
}

# Sends one DDE command and prints the answer in hex ("01"); the program
# opens its DDE socket once it runs, so that is waited for.
dde() {
    local socket=$work/run/dde-ZORIT-DDESERVER1
    for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.1; done
    printf '%s\0' "$1" | socat -t 60 - "UNIX-CONNECT:$socket" | xxd -p
}

# Waits up to ten seconds for a visible window of that exact name.
window() {
    local w=
    for _ in $(seq 100); do
        w=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$w" ] && break
        sleep 0.1
    done
    echo "$w"
}

# Starts the program in $work and sets `main` to its main window, after the
# start window has gone (within 1.5 s). The X server (x_server.py) takes
# connections from the start.
start_program() {
    [ -n "${DISPLAY:-}" ] || fail "no X server: run this under tests/e2e/x_server.py"
    cd "$work"
    ./Zorit >/dev/null 2>"$work/stderr.txt" &
    pid=$!
    main=
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || fail "Zorit ended: $(tail -c 2000 "$work/stderr.txt")"
        for w in $(xdotool search --onlyvisible --pid "$pid" --name '^ZORIT$' 2>/dev/null); do
            [ "$(geometry_of "$w" | sed -n 's/^WIDTH=//p')" -ge 800 ] && main=$w && break 2
        done
        sleep 0.1
    done
    [ -n "$main" ] || fail "no main window"
    for _ in $(seq 50); do
        [ "$(xdotool search --onlyvisible --pid "$pid" --name . 2>/dev/null | wc -l)" -le 1 ] && return
        sleep 0.1
    done
}

# Sets L0, B0 (in the shot) and L, B (on the screen) to the first entry-0
# pixel (#0000ff) of the picture's lowest line in a shot of window $2:
# cell (x, y) then lies at (L + x - 1, B - y + 1).
locate_picture() {
    read -r L0 B0 < <(python3 - "$1" <<'PY'
import subprocess, sys
out = subprocess.run(["convert", sys.argv[1], "-depth", "8", "txt:-"], capture_output=True, text=True).stdout
blue = [tuple(map(int, l.split(":")[0].split(","))) for l in out.splitlines()[1:] if "#0000FF" in l]
bottom = max(y for _, y in blue)
print(min(x for x, y in blue if y == bottom), bottom)
PY
)
    eval "$(geometry_of "$2")"
    L=$((X + L0))
    B=$((Y + B0))
}

# Shell lines X=, Y=, WIDTH=, HEIGHT= of window $1's client area on the
# screen. (xdotool's getwindowgeometry counts the frame of a window that a
# window manager has framed twice.)
geometry_of() {
    xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left X: *\(-*[0-9]*\)$/X=\1/p
        s/^ *Absolute upper-left Y: *\(-*[0-9]*\)$/Y=\1/p
        s/^ *Width: *\([0-9]*\)$/WIDTH=\1/p
        s/^ *Height: *\([0-9]*\)$/HEIGHT=\1/p'
}

# The frame of window $1 as the window manager draws it: sets FX, FY (its
# top left corner on the screen) from the client's position less the
# frame's left and top extents.
frame_position() {
    eval "$(geometry_of "$1")"
    local extents
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr -d ' ')
    local left=${extents%%,*} rest=${extents#*,}
    rest=${rest#*,}
    local top=${rest%%,*}
    FX=$((X - ${left:-0}))
    FY=$((Y - ${top:-0}))
}

# The screen position of cell (x, y).
at() {
    echo "$((L + $1 - 1)) $((B - $2 + 1))"
}

# Starts the program, loads $work/$1/PROGRAMM1.3XH over DDE and opens
# "Patrone" from the menu with the keyboard; sets `patrone` and `palette`.
open_pattern_window() {
    start_program
    [ "$(dde "LOADPATTERN $work/$1/PROGRAMM1.3XH")" = "01" ] || fail "LOADPATTERN refused"
    xdotool windowfocus --sync "$main" key --clearmodifiers alt+p
    sleep 0.3
    xdotool key --clearmodifiers p
    patrone=$(window Patrone)
    [ -n "$patrone" ] || fail "no Patrone window"
    palette=$(window Werkzeuge)
    # The palette's own title bar stands above its 244 pixels of buttons.
    bar=$(($(geometry_of "$palette" | sed -n 's/^HEIGHT=//p') - 244))
}

# The 40 x 30 picture cut from a shot at one pixel per cell, row 30 first.
picture() {
    convert "$1" -crop "40x30+$L0+$((B0 - 29))" +repage "$2"
}

# A left-button drag from cell ($1, $2) to cell ($3, $4).
drag() {
    xdotool mousemove $(at "$1" "$2")
    sleep 0.2
    xdotool mousedown 1
    sleep 0.2
    xdotool mousemove $(at "$3" "$4")
    sleep 0.2
    xdotool mouseup 1
    sleep 0.3
}

# A shot of window $1 into $2, once the window has drawn.
shot() {
    sleep 0.7
    import -window "$1" "$2"
}

# The colours ImageMagick reads from a picture, one line per pixel row from
# the top, each pixel as rrggbb.
colours() {
    convert "$1" -depth 8 txt:- | python3 -c "
import sys
rows = {}
for l in sys.stdin.read().splitlines()[1:]:
    xy, rest = l.split(':', 1)
    x, y = map(int, xy.split(','))
    rows.setdefault(y, {})[x] = rest.split('#')[1][:6].lower()
for y in sorted(rows):
    print(' '.join(rows[y][x] for x in sorted(rows[y])))"
}

# Cell values of a picture at one pixel a cell, row 30 first: the red of
# P.pal is the index.
cells() {
    colours "$1" | python3 -c "
import sys
for l in sys.stdin:
    print(' '.join(str(int(p[:2], 16)) for p in l.split()))"
}

# With SHOTS=DIR the screenshots are kept there.
keep_shots() {
    if [ -n "${SHOTS:-}" ]; then
        mkdir -p "$SHOTS"
        cp "$work"/*.png "$SHOTS/"
    fi
}

# "CLOSE" over DDE; the program must end, and cleanly.
close_program() {
    [ "$(dde CLOSE)" = "01" ] || fail "CLOSE refused"
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && fail "still running after CLOSE: $(cat "$work/stderr.txt")"
    wait "$pid" || fail "exit status $?"
    pid=
}

# The picture of shot $2 against that of shot $1, cell for cell: stdin is
# python that changes `want` (the cells of $1, row 30 first, so row y is
# line 30 - y) into what $2 must show. Prints the rows that differ.
expect_cells() {
    picture "$1" "$work/picture0.png"
    picture "$2" "$work/picture1.png"
    cells "$work/picture0.png" >"$work/cells0.txt"
    cells "$work/picture1.png" >"$work/cells1.txt"
    python3 -c "
import sys
before = [list(map(int, l.split())) for l in open(sys.argv[1])]
after = [list(map(int, l.split())) for l in open(sys.argv[2])]
want = [r[:] for r in before]
exec(sys.stdin.read())
if after != want:
    for y, (a, w) in enumerate(zip(after, want)):
        if a != w:
            print('row', 30 - y, 'got', a, 'want', w)
    sys.exit(1)" "$work/cells0.txt" "$work/cells1.txt"
}
