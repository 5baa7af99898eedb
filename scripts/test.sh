#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${CMAKE_EXTRA_ARGS:-}
cmake --build "$build_dir" -j2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" -j2 --output-on-failure
