#!/usr/bin/env bash
# Builds the program (release: the executable and its program folder, not the tests) and starts
# it from its program folder, as the user (root only installs missing packages). Any arguments
# and the environment pass through, e.g. ZELBO_SIMULATED_MOUSE=1 to run on the simulated mouse.
# ZELBO_RUN_FOLDER=<dir> starts the executable of a copy of the program folder kept in <dir>
# instead (the test command's run, which must leave the build's folder to the user's copy).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/as_user.sh
install_deps_then_run_as_owner scripts/run.sh "$@"
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target zelbo_program
exec "${ZELBO_RUN_FOLDER:-build/release/program}/zelbo-mouse" "$@"
