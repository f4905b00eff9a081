#!/usr/bin/env bash
# Builds Sonorift and the benchmark, generates the test files (about 2 GiB,
# removed afterwards) and prints each figure as a ratio against its
# reference, measured side by side in this run. Usage: bench/run.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh cmake ninja-build g++ coreutils
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DSONORIFT_TESTS=OFF \
  -DSONORIFT_BENCH=ON >/dev/null
cmake --build build/bench >/dev/null
work=$(mktemp -d "$PWD/build/bench-files.XXXXXX")
trap 'rm -rf "$work"' EXIT
build/bench/bench/bench "$PWD/build/bench/Sonorift" "$PWD/build/bench/bench/per_offset_scan" \
  "$PWD/build/bench/bench/peak_memory" "$work" "${1:-9}"
