#!/usr/bin/env bash
# Builds the trees of CMakePresets.json: the native rules and tools
# (build/native); setup.exe of both editions for i686 with the demo disks
# (build/win, build/disk, build/disk-edition1); the x86_64 build of the same
# sources with its own disks (build/win64); each Windows tree with its Win32
# and end-to-end tests; and the fuzz targets of the rules with clang
# (build/fuzz). The native tree comes first: the Windows trees use its tools.
# Names of trees as arguments build those alone, in the order given;
# tree:target,target builds those targets of the tree alone.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(native win win64 fuzz)

# The presets build with Ninja; a tree an older checkout configured for make
# is configured afresh, as CMake refuses to change a tree's generator.
forget_other_generator() {
  local cache=$1/CMakeCache.txt
  if [ -f "$cache" ] && ! grep -qx 'CMAKE_GENERATOR:INTERNAL=Ninja' "$cache"; then
    echo "Configuring $1 afresh: it was configured for another generator than Ninja."
    rm -rf "$cache" "$1/CMakeFiles"
  fi
}

for spec in "${trees[@]}"; do
  tree=${spec%%:*} targets=()
  [ "$spec" = "$tree" ] || IFS=, read -ra targets <<<"${spec#*:}"
  forget_other_generator "build/$tree"
  cmake --preset "$tree" >/dev/null
  cmake --build --preset "$tree" -j"$jobs" ${targets[@]+--target "${targets[@]}"}
done
