#!/usr/bin/env bash
# Builds SonoRifter and runs every test:
#  - with g++, warnings as errors: unit and end-to-end tests, real modules
#    from Debian's game-data packages played by libopenmpt, valgrind, and the
#    same end-to-end tests against the 64-bit Windows build under wine64 (the
#    32-bit one is built too);
#  - with clang, warnings as errors, under AddressSanitizer and
#    UndefinedBehaviorSanitizer: unit and end-to-end tests, and each fuzzer
#    for a bounded time (SONORIFT_FUZZ_SECONDS, default 30).
# Installs what it needs; what can't be installed is reported as SKIPPED.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev binutils \
  e2fsprogs util-linux pkg-config dpkg-dev file \
  --optional valgrind strace libopenmpt-dev mandoc g++-mingw-w64-x86-64 g++-mingw-w64-i686 wine64

if module_dir=$(scripts/fetch-modules.sh); then
  echo "Real modules in $module_dir"
else
  module_dir=""
  echo "SKIPPED: the real-module tests: Debian's game-data packages could not be fetched"
fi

windows_options=()
if command -v x86_64-w64-mingw32-g++-posix >/dev/null && command -v i686-w64-mingw32-g++-posix >/dev/null; then
  for arch in x86_64 i686; do
    echo "== Building for $arch Windows"
    cmake -S . -B "build/win-$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" \
      -DSONORIFT_TESTS=OFF -DCMAKE_CXX_FLAGS=-Werror >/dev/null
    cmake --build "build/win-$arch"
    # The zip for users: the .exe, the README and the licence, nothing else.
    (cd "build/win-$arch" && cpack -G ZIP >/dev/null)
    zip=$(ls build/win-$arch/sonorift-*-win*.zip)
    [[ $(cmake -E tar tf "$zip" | sort | tr '\n' ' ') == "LICENSE README.md Sonorift.exe " ]] ||
      { echo "FAILED: $zip does not hold exactly Sonorift.exe, README.md and LICENSE"; exit 1; }
    echo "Windows package: $zip"
  done
  windows_options=(-DSONORIFT_WINDOWS_TOOL="$PWD/build/win-x86_64/Sonorift.exe")
else
  echo "SKIPPED: the Windows builds: mingw-w64 is not installed"
fi

echo "== Building and testing with g++"
cmake -S . -B build/test-g++ -G Ninja -DCMAKE_CXX_COMPILER=g++ -DCMAKE_CXX_FLAGS=-Werror \
  -DSONORIFT_MODULE_DIR="$module_dir" "${windows_options[@]}" >/dev/null
cmake --build build/test-g++
ctest --test-dir build/test-g++ --output-on-failure

echo "== Building and testing with clang, sanitized, and fuzzing"
cmake -S . -B build/test-clang -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS=-Werror \
  -DSONORIFT_SANITIZE=ON -DSONORIFT_FUZZ=ON -DSONORIFT_MODULE_DIR="$module_dir" \
  -DSONORIFT_FUZZ_SECONDS="${SONORIFT_FUZZ_SECONDS:-30}" >/dev/null
cmake --build build/test-clang
ctest --test-dir build/test-clang --output-on-failure
