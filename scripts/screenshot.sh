#!/usr/bin/env bash
# Builds the program, opens a model in its main window on a virtual display
# and saves a picture of the screen.
#   scripts/screenshot.sh [model.qsf] [picture.png]
set -euo pipefail
cd "$(dirname "$0")/.."

model=${1:-examples/failures_and_reserve.qsf}
picture=${2:-out/main_window.png}
build_dir=${BUILD_DIR:-build}

bash scripts/setup.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j2 --target marvolt marvolt_screenshot_driver

mkdir -p "$(dirname "$picture")"
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build_dir/tests/marvolt_screenshot_driver" "$(realpath "$model")" "$(realpath -m "$picture")"
echo "screenshot: $picture"
