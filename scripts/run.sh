#!/usr/bin/env bash
# Installs what is missing, builds the program as the tests do and starts it
# (under a virtual X server with openbox when there is no display).
# Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target Zorit

# The program allows one instance: a second one waits about 5 s and then
# shows "Software is running!", where nobody sees it on a virtual display.
lock="${XDG_RUNTIME_DIR:-${TMPDIR:-/tmp}/vasp-$(id -u)}/Zorit.lock"
if [[ -e $lock ]]; then
    exec {probe}<"$lock"
    if ! flock -n "$probe"; then
        echo "Zorit already runs (it holds $lock); end that one first." >&2
        exit 1
    fi
    exec {probe}<&-
fi

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    exec build/bin/Zorit "$@"
fi

# A virtual X server of our own, in its own session so that Ctrl+C does not
# take it down under the program; it names its display once it takes
# clients.
exec {announce}< <(exec setsid Xvfb -displayfd 1 -noreset -nolisten tcp -screen 0 1280x1024x24 2>/dev/null)
xvfb=$!
read -r -u "$announce" number || { echo "The virtual X server did not start." >&2; exit 1; }
exec {announce}<&-

# A window manager on it, as on any desktop: a person who looks at the
# display (through a VNC server, say) moves and raises windows by their
# title bars. The program starts once openbox has announced itself on the
# root window, so that its first windows are framed.
DISPLAY=":$number" setsid openbox --sm-disable >/dev/null 2>&1 &
openbox=$!
manages_screen() {
    local check
    check=$(DISPLAY=":$number" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null) || return 1
    [[ $check == *"window id # "* ]] &&
        DISPLAY=":$number" xprop -id "${check##*# }" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id # "
}
until manages_screen; do
    if ! kill -0 "$openbox" 2>/dev/null; then
        echo "openbox did not start on :$number; the windows there stay unframed." >&2
        break
    fi
    sleep 0.05
done

DISPLAY=":$number" build/bin/Zorit "$@" &
zorit=$!
echo "Zorit (process $zorit) runs on the virtual display :$number, under openbox."
echo "End it cleanly with Ctrl+C or 'kill $zorit': it writes its RAM copy and settings as Datei > Beenden does."
# Ctrl+C reaches this script only (a background job ignores it): pass it on
# as the request to close.
trap 'kill -TERM "$zorit" 2>/dev/null || true' INT TERM HUP
status=0
while :; do
    wait "$zorit" && status=0 || status=$?
    kill -0 "$zorit" 2>/dev/null || break
done
kill "$openbox" 2>/dev/null || true
kill "$xvfb" 2>/dev/null || true
exit "$status"
