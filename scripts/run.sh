#!/usr/bin/env bash
# Builds the program (release) and starts it from its program folder. Any arguments and the
# environment pass through, e.g. ZELBO_SIMULATED_MOUSE=1 to run on the simulated mouse.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/program/zelbo-mouse "$@"
