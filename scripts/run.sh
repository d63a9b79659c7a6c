#!/usr/bin/env bash
# Installs what is missing, builds the program as the tests do and starts it
# (under a virtual X server when there is no display). Arguments go to the
# program.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${RUN_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target Zorit

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/bin/Zorit "$@"
fi
exec build/bin/Zorit "$@"
