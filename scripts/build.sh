#!/usr/bin/env bash
# Builds the native rules and tools (build/native); setup.exe of both editions
# for i686 with the demo disks (build/win, build/disk, build/disk-edition1);
# and the x86_64 test build with its own disks and the Windows tests
# (build/win64); and the fuzz targets of the rules with clang (build/fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
configure() { cmake -S . -B "$1" "${@:2}" >/dev/null; }
configure build/native -DCMAKE_BUILD_TYPE=Debug
cmake --build build/native -j"$jobs"
configure build/win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
cmake --build build/win -j"$jobs"
if [ "${SETUP_SKIP_TEST_BUILD:-0}" != 1 ]; then
  configure build/win64 -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
  cmake --build build/win64 -j"$jobs"
fi
cmake -S fuzz -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build/fuzz -j"$jobs"
