# Debian packages the build, the tests and the program need.
BUILD_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev python3
                zlib1g-dev libtiff-dev libjpeg62-turbo-dev libxcb1-dev)
# The fuzz build: clang with libFuzzer and the sanitizer runtimes.
FUZZ_PACKAGES=(clang libclang-rt-14-dev)
# The windows' fonts and Qt's own translations of its dialogs.
RUN_PACKAGES=("${BUILD_PACKAGES[@]}" fonts-dejavu-core qt6-translations-l10n xvfb xauth xdotool)
# libtiff's tools check our TIFF files; xxd reads bytes; socat and xdotool
# drive DDE and windows from outside; djpeg decodes the start picture for
# comparison; xwininfo and import look at the running program's windows;
# PIL and netpbm read the motif files as other programs do; openbox stacks
# every end-to-end run's windows; strace holds a save's renames where a
# killed save is tested.
TEST_PACKAGES=("${RUN_PACKAGES[@]}" "${FUZZ_PACKAGES[@]}" libtiff-tools xxd socat libjpeg-turbo-progs
               x11-utils imagemagick python3-pil netpbm openbox strace)

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
