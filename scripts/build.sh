#!/usr/bin/env bash
# Builds the trees of CMakePresets.json: the native rules and tools
# (build/native); setup.exe of both editions for i686 with the demo disks
# (build/win, build/disk, build/disk-edition1); the x86_64 build of the same
# sources with its own disks (build/win64); each Windows tree with its Win32
# and end-to-end tests; and the fuzz targets of the rules with clang
# (build/fuzz). The native tree comes first: the Windows trees use its tools.
# Names of trees as arguments build those alone, in the order given.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native win win64 fuzz)
for tree in "${trees[@]}"; do
  cmake --preset "$tree" >/dev/null
  cmake --build --preset "$tree" -j"$jobs"
done
