#!/usr/bin/env bash
# The libFuzzer targets of tests/fuzz (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer), built into build-fuzz/.
#
#   scripts/fuzz.sh TARGET SECONDS   fuzz one target for as long as asked; the
#                                    corpus grows in build-fuzz/corpus/TARGET,
#                                    a crash lands in build-fuzz/artifacts/TARGET
#   scripts/fuzz.sh --smoke [RUNS]   every target a fixed number of runs over its
#                                    seeds (the test command's smoke run)
#   scripts/fuzz.sh --list           the target names
#
# Any crash, leak, sanitizer report or hang (an input running over 5 s) fails
# the run. ZORIT_JOBS sets the build's parallel jobs and how many targets
# the smoke run runs side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

targets() {
    local f
    for f in tests/fuzz/*_fuzz.cpp; do
        f=${f##*/}
        echo "${f%_fuzz.cpp}"
    done
}

usage() {
    echo "usage: scripts/fuzz.sh TARGET SECONDS | --smoke [RUNS] | --list" >&2
    echo "targets: $(targets | tr '\n' ' ')" >&2
    exit 2
}

build() {
    . scripts/deps.sh
    install_missing "${FUZZ_PACKAGES[@]}"
    # Line tables are all a crash report needs, and build faster.
    cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORIT_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" >/dev/null
    cmake --build build-fuzz -j "${ZORIT_JOBS:-$(nproc)}" --target fuzz_all
}

# The folder the targets write their input files into: memory when there is
# some, as the savers' fsync would otherwise set the pace.
scratch_base() {
    if [[ -d /dev/shm && -w /dev/shm ]]; then echo /dev/shm; else echo "${TMPDIR:-/tmp}"; fi
}

# libFuzzer options shared by both modes: a hang is a failure, memory capped.
common_options() {
    local name=$1
    local opts=(-timeout=5 -rss_limit_mb=2048 -print_final_stats=1)
    [[ -f tests/fuzz/dict/$name.dict ]] && opts+=("-dict=$root/tests/fuzz/dict/$name.dict")
    local longest
    longest=$(longest_input "$name")
    [[ -n $longest ]] && opts+=("-max_len=$longest")
    echo "${opts[@]}"
}

# The longest input of a target: its source says "// Longest input: N bytes."
# when its files outgrow libFuzzer's default (the largest seed, at least 4 KB).
longest_input() {
    sed -n 's|^// Longest input: \([0-9]*\) bytes.*|\1|p' "tests/fuzz/$1_fuzz.cpp"
}

size_of() {  # files and bytes of a folder
    local n bytes
    n=$(find "$1" -type f | wc -l)
    bytes=$(find "$1" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}')
    echo "$n files, $bytes bytes"
}

scratch=
trap '[[ -n $scratch ]] && rm -rf "$scratch"' EXIT

# The runs of a target's smoke run: its source says "// Smoke run: N runs."
# (the slower a target, the fewer), unless the command line gives a number.
smoke_runs() {
    local runs
    runs=$(sed -n 's|^// Smoke run: \([0-9]*\) runs.*|\1|p' "tests/fuzz/$1_fuzz.cpp")
    echo "${runs:-10000}"
}

# One target's smoke run; its exit status lands beside its log.
smoke_one() {
    local name=$1 given=$2 work=$scratch/$1 runs status=0
    mkdir -p "$work/corpus" "$work/artifacts"
    runs=${given:-$(smoke_runs "$name")}
    # Fixed seed and run count: the same inputs at every run of the tests;
    # the time cap only guards the whole smoke run's length.
    # shellcheck disable=SC2046
    (cd "$work" && TMPDIR="$work" timeout 120 "$root/build-fuzz/tests/fuzz/fuzz_$name" \
        -runs="$runs" -seed=1 -max_total_time=20 $(common_options "$name") \
        -artifact_prefix="$work/artifacts/" corpus "$root/tests/fuzz/corpus/$name") \
        >"$scratch/$name.log" 2>&1 || status=$?
    echo "$status" >"$scratch/$name.status"
}

smoke() {
    local given=${1:-}
    local failed=0 name work log passed=0 broken=0
    scratch=$(mktemp -d "$(scratch_base)/zorit-fuzz-smoke-XXXXXX")
    # The targets side by side, as many as the build's jobs; reported in
    # their order.
    local parallel=${ZORIT_JOBS:-$(nproc)} running=0
    for name in $(targets); do
        if ((running >= parallel)); then
            wait -n || true
            running=$((running - 1))
        fi
        smoke_one "$name" "$given" &
        running=$((running + 1))
    done
    wait
    for name in $(targets); do
        work=$scratch/$name
        log=$scratch/$name.log
        if [[ $(cat "$scratch/$name.status") == 0 ]]; then
            local done_line corpus_line
            done_line=$(grep -a -o 'Done [0-9]* runs in [0-9]* second' "$log" | tail -1)
            corpus_line=$(grep -a -o 'corp: [0-9]*/[0-9]*[bKMG]*b' "$log" | tail -1)
            corpus_line=${corpus_line#corp: }
            printf 'fuzz %-10s %s runs in %ss; seed corpus %s; corpus after the run %s inputs, %s: passed\n' \
                "$name" "$(awk '{print $2}' <<<"$done_line")" "$(awk '{print $5}' <<<"$done_line")" \
                "$(size_of "$root/tests/fuzz/corpus/$name")" "${corpus_line%%/*}" "${corpus_line#*/}"
            passed=$((passed + 1))
        else
            failed=1
            broken=$((broken + 1))
            echo "fuzz $name: FAILED (log follows)"
            tail -n 60 "$log"
            local crash
            for crash in "$work"/artifacts/*; do
                [[ -e $crash ]] || continue
                mkdir -p build-fuzz/artifacts/"$name"
                cp "$crash" build-fuzz/artifacts/"$name"/
                echo "input kept as build-fuzz/artifacts/$name/${crash##*/}"
            done
        fi
    done
    echo "fuzz: $passed passed, $broken failed"
    return $failed
}

long_run() {
    local name=$1 seconds=$2
    [[ -f tests/fuzz/${name}_fuzz.cpp ]] || usage
    [[ $seconds =~ ^[0-9]+$ ]] || usage
    local work=$root/build-fuzz/corpus/$name artifacts=$root/build-fuzz/artifacts/$name/
    mkdir -p "$work" "$artifacts"
    scratch=$(mktemp -d "$(scratch_base)/zorit-fuzz-XXXXXX")
    echo "fuzz $name for ${seconds}s; corpus $work, crashes in $artifacts"
    # shellcheck disable=SC2046
    TMPDIR="$scratch" timeout $((seconds + 300)) "$root/build-fuzz/tests/fuzz/fuzz_$name" \
        -max_total_time="$seconds" $(common_options "$name") -artifact_prefix="$artifacts" \
        "$work" "$root/tests/fuzz/corpus/$name"
}

case "${1:-}" in
--list) targets ;;
--smoke)
    build
    smoke "${2:-}"
    ;;
""|-*) usage ;;
*)
    [[ $# -eq 2 ]] || usage
    build
    long_run "$1" "$2"
    ;;
esac
