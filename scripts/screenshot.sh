#!/usr/bin/env bash
# Builds the program, opens a model in its main window on a virtual display
# and saves a picture of the screen; then opens the experiment window, runs
# the model and saves a picture of each tab and of the progress dialog of a
# long run (experiment_*.png beside the first picture).
#   scripts/screenshot.sh [model.qsf] [picture.png]
set -euo pipefail
cd "$(dirname "$0")/.."

model=${1:-examples/failures_and_reserve.qsf}
picture=${2:-out/main_window.png}
build_dir=${BUILD_DIR:-build}

bash scripts/setup.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j2 --target marvolt marvolt_screenshot_driver \
  marvolt_experiment_screenshot_driver

mkdir -p "$(dirname "$picture")"
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build_dir/tests/marvolt_screenshot_driver" "$(realpath "$model")" "$(realpath -m "$picture")"
echo "screenshot: $picture"
xvfb-run -a -s "-screen 0 1280x800x24" \
  "$build_dir/tests/marvolt_experiment_screenshot_driver" "$(realpath "$model")" \
  "$(realpath -m "$(dirname "$picture")")"
