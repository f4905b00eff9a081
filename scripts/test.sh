#!/usr/bin/env bash
# Builds SonoRifter and runs every test: the native build with g++ and with
# clang, warnings as errors; the Windows builds (32-bit and 64-bit) with
# mingw-w64, the 64-bit one tested under wine64. Installs what it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh cmake ninja-build g++ clang libgtest-dev binutils \
  --optional g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64

windows_options=()
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v i686-w64-mingw32-g++-posix >/dev/null; then
  for arch in x86_64 i686; do
    echo "== Building for $arch Windows"
    cmake -S . -B "build/win-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" \
      -DSONORIFT_TESTS=OFF -DCMAKE_CXX_FLAGS=-Werror >/dev/null
    cmake --build "build/win-$arch"
  done
  windows_options=(-DSONORIFT_WINDOWS_TOOL="$PWD/build/win-x86_64/Sonorift.exe")
else
  echo "SKIPPED: the Windows builds: mingw-w64 is not installed"
fi

for compiler in g++ clang++; do
  build_dir="build/test-$compiler"
  echo "== Building and testing with $compiler"
  options=()
  # The Windows tests run once, beside the g++ build.
  [[ $compiler == g++ ]] && options=("${windows_options[@]}")
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" \
    -DCMAKE_CXX_FLAGS=-Werror "${options[@]}" >/dev/null
  cmake --build "$build_dir"
  ctest --test-dir "$build_dir" --output-on-failure
done
