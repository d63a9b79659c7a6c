# Debian packages the build, the tests and the program need.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev python3
                zlib1g-dev libtiff-dev libjpeg62-turbo-dev libxcb1-dev)
# The fuzz build: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The windows' fonts and Qt's own translations of its dialogs; on a machine
# without a display the program's own virtual X server, with openbox so that
# a person who looks at it can move windows (xprop tells when it has come).
RUN_PACKAGES=("${BUILD_PACKAGES[@]}" fonts-dejavu-core qt6-translations-l10n xvfb xauth xdotool openbox x11-utils)
# libtiff's tools check our TIFF files; xxd reads bytes; socat and xdotool
# drive DDE and windows from outside; djpeg decodes the start picture for
# comparison; xwininfo and import look at the running program's windows;
# PIL and netpbm read the motif files as other programs do; openbox stacks
# every end-to-end run's windows; strace holds a save's renames where a
# killed save is tested.
# The walk of every window and the key runs go once more under the window
# managers of the common desktops, whose rules differ from openbox's: XFCE's
# xfwm4, GNOME classic's metacity and KDE's kwin (which draws no frames
# without its breeze decoration). These read their settings over a session
# bus, which dbus-daemon gives each run.
WM_PACKAGES=(xfwm4 metacity kwin-x11 kwin-style-breeze dbus-daemon)
TEST_PACKAGES=("${RUN_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" "${WM_PACKAGES[@]}" libtiff-tools xxd socat
               libjpeg-turbo-progs imagemagick python3-pil netpbm strace)

# Installs the packages that are not installed yet (apt-get update only then).
install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}
