#!/usr/bin/env bash
# Builds SonoRifter and runs every test, with g++ and with clang, warnings
# as errors. Installs what the build and the tests need.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh cmake ninja-build g++ clang libgtest-dev binutils
for compiler in g++ clang++; do
  build_dir="build/test-$compiler"
  echo "== Building and testing with $compiler"
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_CXX_FLAGS=-Werror >/dev/null
  cmake --build "$build_dir"
  ctest --test-dir "$build_dir" --output-on-failure
done
