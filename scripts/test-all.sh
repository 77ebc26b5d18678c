#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the suite in the release build and
# under AddressSanitizer+UndefinedBehaviorSanitizer and ThreadSanitizer, a short smoke run of
# each fuzz target, and one quick pass of each benchmark program.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
fuzz_seconds=${ZELBO_FUZZ_SECONDS:-20}

run_suite() {
    local preset=$1
    echo "=== $preset: build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: test"
    # The end-to-end tests start the program on a real X server; unit tests use offscreen.
    xvfb-run -a -s "-screen 0 1280x1024x24" ctest --preset "$preset" -j "$jobs"
}

run_suite release
for bench in build/release/bench/*_bench; do
    [ -x "$bench" ] || continue
    echo "=== smoke run of $(basename "$bench")"
    "$bench" --benchmark_min_time=0.01 >/dev/null
done

run_suite asan
run_suite tsan

echo "=== fuzz: build"
cmake --preset fuzz >/dev/null
targets=()
for src in fuzz/*_fuzz.cpp; do
    [ -e "$src" ] || continue
    targets+=("$(basename "${src%.cpp}")")
done
if [ ${#targets[@]} -gt 0 ]; then
    cmake --build --preset fuzz -j "$jobs" --target "${targets[@]}"
    pids=()
    for t in "${targets[@]}"; do
        corpus=$(mktemp -d)
        seeds="fuzz/seeds/$t"
        dirs=("$corpus")
        [ -d "$seeds" ] && dirs+=("$seeds")
        echo "=== fuzz: $t for ${fuzz_seconds}s"
        "build/fuzz/fuzz/$t" -max_total_time="$fuzz_seconds" -print_final_stats=1 "${dirs[@]}" \
            >"build/fuzz/$t.log" 2>&1 &
        pids+=($!)
    done
    failed=0
    for i in "${!pids[@]}"; do
        if ! wait "${pids[$i]}"; then
            echo "fuzz target ${targets[$i]} failed:"
            tail -n 40 "build/fuzz/${targets[$i]}.log"
            failed=1
        else
            grep -E 'stat::number_of_executed_units|Done' "build/fuzz/${targets[$i]}.log" | tail -n 2
        fi
    done
    [ $failed -eq 0 ]
fi
echo "=== all tests passed"
