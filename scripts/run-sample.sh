#!/usr/bin/env bash
# Builds Sonorift and runs it on the sample package, which writes the
# module beside it as examples/sample.it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh cmake ninja-build g++
cmake -S . -B build/release -G Ninja -DSONORIFT_TESTS=OFF >/dev/null
cmake --build build/release >/dev/null
build/release/Sonorift examples/sample.umx
