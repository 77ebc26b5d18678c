#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the suite in the release build and
# under AddressSanitizer+UndefinedBehaviorSanitizer and ThreadSanitizer, a short smoke run of
# each fuzz target, and one quick pass of each benchmark program. Runs as the user; only the
# package installation asks for root.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/as_user.sh
install_deps_then_run_as_owner scripts/test-all.sh "$@"

jobs=$(nproc)
fuzz_seconds=${ZELBO_FUZZ_SECONDS:-20}

run_suite() {
    local preset=$1
    echo "=== $preset: build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
    echo "=== $preset: test"
    # The end-to-end tests start the program on a real X server; unit tests use offscreen. The
    # server never resets (-noreset): by default it resets each time its last client leaves, as
    # at the end of every test, and drops a client that connects meanwhile, as the next test.
    local log="build/$preset/ctest-output.txt"
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --preset "$preset" -j "$jobs" | tee "$log"
    # A test that skips here guards nothing: tests of refused access run as an ordinary user
    # when the suite runs as root, and the display is there.
    if grep -q '(Skipped)' "$log"; then
        echo "these tests skipped instead of running:"
        grep '(Skipped)' "$log"
        return 1
    fi
}

# The program's run command, briefly, as a person runs it before testing (on the simulated
# mouse). A copy the user left running (the run command: the build's program folder, the user's
# runtime folder, where the one-copy lock lives) must neither end this run nor be touched by it.
# So this run gets a program folder of its own (the build's executable and the shipped files),
# a runtime folder of its own, and none of the user's session bus, trace or message log.
run_program_briefly() {
    echo "=== a run of scripts/run.sh on the simulated mouse"
    local scratch
    scratch=$(mktemp -d)
    mkdir -p "$scratch/program" "$scratch/run"
    chmod 700 "$scratch/run"
    cp -R build/release/shipped/. "$scratch/program/"
    cp build/release/program/zelbo-mouse "$scratch/program/"
    mkfifo "$scratch/inject"
    env -u ZELBO_SIM_TRACE XDG_RUNTIME_DIR="$scratch/run" ZELBO_RUN_FOLDER="$scratch/program" \
        ZELBO_SIM_INJECT="$scratch/inject" ZELBO_MESSAGE_LOG="$scratch/messages.txt" \
        DBUS_SESSION_BUS_ADDRESS="unix:path=$scratch/run/no-session-bus" \
        xvfb-run -a -s "-screen 0 1280x1024x24" \
        bash -c "ZELBO_SIMULATED_MOUSE=1 scripts/run.sh" >"$scratch/run.txt" 2>&1 &
    local run=$! log="" i
    for i in $(seq 120); do
        # No LOG folder yet is no error: the program may not have got that far.
        log=$(find "$scratch/program/LOG" -name '*.txt' 2>/dev/null | head -n 1 || true)
        if [ -n "$log" ] && grep -q 'Finish Init!' "$log"; then
            break
        fi
        log=""
        kill -0 "$run" 2>/dev/null || break
        sleep 0.5
    done
    if [ -z "$log" ]; then
        kill "$run" 2>/dev/null || true
        if grep -q 'another copy of the program runs' "$scratch/run.txt"; then
            echo "the program did not start: it met another copy of itself, although it had a"
            echo "runtime folder of its own ($scratch/run):"
        else
            echo "the program did not start on the simulated mouse:"
        fi
        cat "$scratch/run.txt" "$scratch/messages.txt" 2>/dev/null
        return 1
    fi
    sleep 1
    # The removal of the mouse ends the program.
    echo unplug >"$scratch/inject"
    if ! timeout 30 tail --pid="$run" -f /dev/null || ! wait "$run"; then
        kill "$run" 2>/dev/null || true
        echo "the program did not end cleanly on the removal of the mouse:"
        cat "$scratch/run.txt"
        return 1
    fi
    rm -rf "$scratch"
}

# Every command the README gives is run here, so the README cannot drift from what works. A
# command this script does not know fails the run until it is run here too.
readme_commands() {
    grep -E '^    [^ ]' README.md | sed 's/^    //'
}
check_readme_commands() {
    local line
    while IFS= read -r line; do
        case "$line" in
            "scripts/test-all.sh") ;;  # this script
            "scripts/run.sh" | "ZELBO_SIMULATED_MOUSE=1 scripts/run.sh") ;;  # run_program_briefly
            "sudo cmake --install build/release") ;;  # install_as_readme_says
            *)
                echo "the README's command is not run by the test command: $line"
                return 1
                ;;
        esac
    done < <(readme_commands)
}

# The README's install, into a staging folder instead of the system (DESTDIR). The end-to-end
# tests check an install into a prefix of their own; this checks the default prefix's places.
install_as_readme_says() {
    echo "=== the README's install, staged"
    local stage
    stage=$(mktemp -d)
    DESTDIR="$stage" cmake --install build/release >/dev/null
    local missing=0 f
    for f in usr/local/bin/zelbo-mouse usr/local/share/applications/zelbo-mouse.desktop \
        etc/udev/rules.d/70-zelbo-mouse.rules; do
        if [ ! -e "$stage/$f" ]; then
            echo "the install did not place /$f"
            missing=1
        fi
    done
    rm -rf "$stage"
    [ $missing -eq 0 ]
}

check_readme_commands
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
run_program_briefly
install_as_readme_says
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
