#!/usr/bin/env bash
# Builds the program, opens a model in its main window on a virtual display
# and saves a picture of the screen, optionally with a dialog open over it.
#   scripts/screenshot.sh [model.qsf] [picture.png] [what]
#     what: a node name, "type:<request type>" or "law:<channel>"
#   scripts/screenshot.sh --dialogs [folder]
#     the properties dialog of every kind and the law dialog, one picture each
#   scripts/screenshot.sh --experiment [model.qsf] [folder]
#     the experiment window's tabs after a run, the histogram after a chi-square
#     test, a device factor experiment planned and run on the dependencies tab,
#     and the progress dialog of a long run
#   scripts/screenshot.sh --check [model.qsf] [picture.png]
#     the main window after an edit, with its undo hint, and the model check window
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}

bash scripts/setup.sh
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j2 --target marvolt marvolt_screenshot_driver \
  marvolt_experiment_screenshot_driver

shoot() {
  mkdir -p "$(dirname "$2")"
  xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build_dir/tests/marvolt_screenshot_driver" "$(realpath "$1")" "$(realpath -m "$2")" "${@:3}"
  echo "screenshot: $2"
}

if [ "${1:-}" = "--experiment" ]; then
  model=${2:-examples/mm1.qsf}
  out=${3:-out}
  mkdir -p "$out"
  xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build_dir/tests/marvolt_experiment_screenshot_driver" "$(realpath "$model")" "$(realpath "$out")"
  exit 0
fi

if [ "${1:-}" = "--check" ]; then
  shoot "${2:-examples/two_stage_line.qsf}" "${3:-out/model_check.png}" "check:"
  exit 0
fi

if [ "${1:-}" = "--dialogs" ]; then
  out=${2:-out}
  shoot examples/priorities.qsf "$out/dialog_generator.png" "Генератор1"
  shoot examples/priorities.qsf "$out/dialog_queue.png" "Накопитель1"
  shoot examples/failures_and_reserve.qsf "$out/dialog_channel.png" "Канал1"
  shoot examples/failures_and_reserve.qsf "$out/dialog_sink.png" "Сток отказов"
  shoot examples/priorities.qsf "$out/dialog_request_type.png" "type:Срочная"
  shoot examples/failures_and_reserve.qsf "$out/dialog_law.png" "law:Канал1"
  exit 0
fi

shoot "${1:-examples/failures_and_reserve.qsf}" "${2:-out/main_window.png}" "${@:3}"
