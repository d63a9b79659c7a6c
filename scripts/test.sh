#!/usr/bin/env bash
# Installs what is missing, builds everything and runs all tests: first the
# full build, then the Qt-free kernel tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, then a smoke run of every fuzz target. Exits
# non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing "${TEST_PACKAGES[@]}"

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORIT_SANITIZE=ON -DZORIT_BENCH=OFF
cmake --build build-asan -j "$jobs" --target kernel_checks
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs" -L kernel)

# Every fuzz target a fixed number of runs over its seeds (clang, build-fuzz/).
ZORIT_JOBS=$jobs bash scripts/fuzz.sh --smoke
