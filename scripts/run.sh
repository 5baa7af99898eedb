#!/usr/bin/env bash
# Sets up the machine, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j2

if [ -x "$build_dir/app/marvolt" ]; then
  exec "$build_dir/app/marvolt" "$@"
fi
if [ -x "$build_dir/tools/marvolt-run" ] && [ $# -gt 0 ]; then
  exec "$build_dir/tools/marvolt-run" "$@"
fi
echo "The desktop program is not built yet; the simulation kernel is."
echo "Running the kernel's tests instead:"
exec ctest --test-dir "$build_dir" -j2
