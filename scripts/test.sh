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

# Each step says how long it took: what sets the pace shows in the log.
started=$SECONDS
step() {
    echo "== $1 ($((SECONDS - started)) s so far)"
}

# Builds folder $1 with the given options; a stale folder whose build fails
# (new Qt classes are not always picked up by an old generator run) is built
# once more from scratch.
build_tree() {
    local dir=$1 target=$2
    shift 2
    cmake -S . -B "$dir" -G Ninja "$@"
    if ! cmake --build "$dir" -j "$jobs" --target "$target"; then
        echo "Build of $dir failed; building it again from scratch"
        rm -rf "$dir"
        cmake -S . -B "$dir" -G Ninja "$@"
        cmake --build "$dir" -j "$jobs" --target "$target"
    fi
}

# Line tables only: backtraces and sanitizer reports keep file and line,
# and the builds take a quarter less than with full debug information. LLVM's
# linker, where there is one, links the many test programs five times faster.
linker=()
if command -v ld.lld >/dev/null; then
    linker=(-DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_SHARED_LINKER_FLAGS=-fuse-ld=lld
            -DCMAKE_MODULE_LINKER_FLAGS=-fuse-ld=lld)
fi
step "full build"
build_tree build all -DCMAKE_BUILD_TYPE=RelWithDebInfo "${linker[@]}" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

# The end-to-end runs mostly wait for windows: meanwhile the other tests,
# then the sanitizer and fuzz builds take the cores, the builds at the
# lowest priority so that the runs keep their pace. Their report follows at
# the end.
step "end-to-end runs in the background"
ctest --test-dir build --output-on-failure -j "$jobs" -L e2e >build/e2e.log 2>&1 &
e2e=$!
trap 'kill "$e2e" 2>/dev/null || true' EXIT

step "tests"
(cd build && ctest --output-on-failure -j "$jobs" -LE e2e)
renice -n 19 -p $$ >/dev/null

step "sanitizer build"
build_tree build-asan kernel_checks -DCMAKE_BUILD_TYPE=Debug -DZORIT_SANITIZE=ON -DZORIT_BENCH=OFF "${linker[@]}" \
    -DCMAKE_C_FLAGS_DEBUG=-g1 -DCMAKE_CXX_FLAGS_DEBUG=-g1
step "kernel tests under the sanitizers"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j "$jobs" -L kernel)

# Every fuzz target a fixed number of runs over its seeds (clang, build-fuzz/).
step "fuzz smoke"
ZORIT_JOBS=$jobs bash scripts/fuzz.sh --smoke

step "end-to-end runs' report"
status=0
wait "$e2e" || status=$?
trap - EXIT
cat build/e2e.log
step "done"
exit "$status"
