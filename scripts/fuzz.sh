#!/usr/bin/env bash
# Fuzzes the model file reader: builds the libFuzzer target with clang in its own
# build folder, lets the persistence tests write the seed corpus (the files they
# build), and runs the fuzzer for the given number of seconds (default 60).
# Exits non-zero on any crash, hang or sanitizer report; the input that caused
# it is kept in <build>/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

# Debug: the seed-writing tests then link without cross-unit optimisation, which
# clang's objects would need a plugin-aware linker for; the fuzzer sets its own -O2.
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
  -DMARVOLT_FUZZ=ON -DMARVOLT_HEADLESS=ON -DMARVOLT_BENCH=OFF
cmake --build "$build_dir" -j2 --target model_file_fuzzer persistence_tests

seeds="$build_dir/fuzz-seeds"
corpus="$build_dir/fuzz-corpus"
artifacts="$build_dir/fuzz-artifacts"
rm -rf "$seeds" "$corpus"
mkdir -p "$seeds" "$corpus" "$artifacts"
MARVOLT_SEED_DIR="$seeds" "$build_dir/tests/persistence_tests" --gtest_brief=1 >/dev/null
count=$(find "$seeds" -name '*.qsf' | wc -l)
if [ "$count" -eq 0 ]; then
  echo "fuzz: the tests wrote no seed files" >&2
  exit 1
fi
echo "fuzz: $count seed files, running for $seconds s"

"$build_dir/fuzz/model_file_fuzzer" -max_total_time="$seconds" -timeout=10 -max_len=65536 \
  -artifact_prefix="$artifacts/" -print_final_stats=1 "$corpus" "$seeds"
