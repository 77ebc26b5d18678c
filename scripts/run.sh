#!/usr/bin/env bash
# Builds the program (release) and starts it from its program folder, as the user (root only
# installs missing packages). Any arguments and the environment pass through, e.g.
# ZELBO_SIMULATED_MOUSE=1 to run on the simulated mouse.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/as_user.sh
install_deps_then_run_as_owner scripts/run.sh "$@"
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/program/zelbo-mouse "$@"
