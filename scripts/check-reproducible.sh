#!/usr/bin/env bash
# Builds the shipped i686 setup.exe of both editions twice, each time from
# nothing in its own temporary folder, and compares the two builds byte for
# byte: the programs (with their description blocks) and the compiled
# resources. Both builds use one snapshot of the working tree, so an edit made
# meanwhile cannot pass for a difference. Prints one line per file and exits 1
# if any differs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${JOBS:-2}"
work=$(mktemp -d "${TMPDIR:-/tmp}/setup-reproducible.XXXXXX")
# KEEP=1 leaves the two builds for a closer look.
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT

# The sources as they are now: tracked files and new ones not ignored.
mkdir "$work/src"
# (A tracked file deleted meanwhile is left out rather than stopping the copy.)
git ls-files -z -co --exclude-standard |
  tar -cf - --null --ignore-failed-read -T - 2>/dev/null | tar -xf - -C "$work/src"
cd "$work/src"

build() {
  local dir=$1
  # Only the description-block tool is needed from the native build.
  cmake -S . -B "$dir/native" -DCMAKE_BUILD_TYPE=Debug -DSETUP_SANITIZE=OFF >/dev/null
  cmake --build "$dir/native" --target descblock -j"$jobs" >/dev/null
  cmake -S . -B "$dir/win" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
        -DDISK_ROOT="$dir" -DHOST_TOOLS_DIR="$dir/native/tools" >/dev/null
  cmake --build "$dir/win" --target setup_edition0 setup_edition1 -j"$jobs" >/dev/null
}

echo "Building twice in $work (a and b) ..."
build "$work/a"
build "$work/b"

status=0
for edition in 0 1; do
  for file in "edition$edition/setup.exe" \
              "CMakeFiles/setup_edition$edition.dir/resources/setup.rc.res"; do
    a="$work/a/win/$file" b="$work/b/win/$file"
    if cmp -s "$a" "$b"; then
      printf 'identical  %-55s %8d bytes  sha256 %s\n' "$file" "$(stat -c %s "$a")" \
        "$(sha256sum "$a" | cut -c1-16)"
    else
      printf 'DIFFERENT  %s\n' "$file"
      cmp -l "$a" "$b" | head -5 || true
      status=1
    fi
  done
done
if [ $status = 0 ]; then echo "Reproducible: both builds are byte-identical."; fi
exit $status
