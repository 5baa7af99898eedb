#!/usr/bin/env bash
# A profile-guided release build: builds the programs so that they record
# where they spend their time, trains them on the ready examples and the
# benchmark models, then builds everything again with that profile.
#
#   scripts/pgo.sh [BUILD_DIR]     # default build-pgo; the programs end up there
#   TARGETS="marvolt-run" scripts/pgo.sh   # the last build only for those targets
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-pgo}
profile=$(realpath -m "$build/pgo-profile")
configure() {
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARVOLT_PGO="$1" \
        -DMARVOLT_PGO_DIR="$profile" ${CMAKE_EXTRA_ARGS:-}
}

rm -rf "$profile"
configure generate
cmake --build "$build" -j2 --target marvolt-run marvolt-examples marvolt_bench
models=$(mktemp -d)
trap 'rm -rf "$models"' EXIT
"$build/tools/marvolt-examples" --bench "$models" >/dev/null
# Every example as the file has it, the benchmark models long enough for their
# queues to fill, replications and a document once each.
for model in examples/*.qsf; do
    "$build/tools/marvolt-run" "$model" >/dev/null
done
for model in "$models"/*.qsf; do
    "$build/tools/marvolt-run" --json --arrivals 200000 "$model" >/dev/null
done
"$build/tools/marvolt-run" --replications 4 --arrivals 20000 examples/mm1.qsf >/dev/null
"$build/bench/marvolt_bench" --benchmark_min_time=0.05 >/dev/null

configure use
if [[ -n ${TARGETS:-} ]]; then
    # shellcheck disable=SC2086
    cmake --build "$build" -j2 --target $TARGETS
else
    cmake --build "$build" -j2
fi
echo "profile-guided build in $build"
