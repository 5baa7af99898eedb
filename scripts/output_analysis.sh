#!/usr/bin/env bash
# The figures of warm-up deletion and of replications until a precision on
# M/M/1, from an existing build: the bias of runs from empty at load 0.9
# (exact mean wait 810) and a study that stops at 2 % (exact 320).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
run="$build_dir/tools/marvolt-run"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build_dir/tools/marvolt-examples" --mm1 100 90 "$work/mm1_09.qsf"
"$build_dir/tools/marvolt-examples" --mm1 100 80 "$work/mm1_08.qsf"

replications=${REPLICATIONS:-2000}
jobs=${JOBS:-2}
mean_wait() {
  python3 -c 'import json, sys
d = json.load(sys.stdin)
w = [i for i in d["indicators"] if i["id"] == 13 and i["type"] == "Все типы заявок"][0]
print("%.1f ± %.1f" % (w["mean"], w["halfWidth"]))'
}
study="--replications $replications --jobs $jobs --arrivals 1000 --json $work/mm1_09.qsf"
echo "M/M/1, rho 0.9, $replications replications of 1000 arrivals; exact mean wait 810"
echo "  whole runs:           $("$run" $study | mean_wait)"
echo "  warm-up at 33333:     $("$run" --warmup 33333 $study | mean_wait)"
echo "  warm-up by MSER-5:    $("$run" --warmup auto $study | mean_wait)"

echo "M/M/1, rho 0.8, --precision 0.02; exact mean wait 320"
"$run" --precision 0.02 --replications 5..400 --jobs "$jobs" --arrivals 20000 \
  --target 13:Накопитель1 "$work/mm1_08.qsf" | head -3
"$run" --precision 0.001 --replications 2..5 --arrivals 2000 "$work/mm1_08.qsf" | head -2
