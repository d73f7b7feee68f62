#!/usr/bin/env bash
# Prints the size of setup.exe per edition: the whole file, the program alone
# (where the last section's raw data ends, from the mingw objdump) and the
# description block appended behind it. Reads the shipped i686 build by
# default; pass another Windows build folder (e.g. build/win64) to read that.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/win}"
# This objdump reads the i686 and the x86_64 programs alike.
objdump=x86_64-w64-mingw32-objdump

# objdump gives each section's size without the padding to the file
# alignment, which the raw data on disk has.
program_end() {
  local alignment last=0 index name size vma lma offset rest flags
  alignment=$((0x$("$objdump" -p "$1" | awk '$1 == "FileAlignment" { print $2 }')))
  # Each section is a line of numbers followed by a line of its flags.
  while read -r index name size vma lma offset rest && read -r flags; do
    [[ $index =~ ^[0-9]+$ && $flags == *CONTENTS* ]] || continue
    local raw=$(( (0x$size + alignment - 1) / alignment * alignment ))
    (( 0x$offset + raw > last )) && last=$(( 0x$offset + raw ))
  done < <("$objdump" -h "$1" | sed -n '/^Idx/,$p' | tail -n +2)
  echo "$last"
}

echo "setup.exe sizes in $build (bytes)"
printf '%-10s%12s%12s%13s\n' edition 'whole file' program description
for edition in 0 1; do
  path=$build/edition$edition/setup.exe
  if [ ! -f "$path" ]; then
    printf '%-10smissing: %s\n' "$edition" "$path"
    continue
  fi
  whole=$(stat -c %s "$path")
  end=$(program_end "$path")
  printf '%-10s%12s%12s%13s\n' "$edition" "$whole" "$end" $((whole - end))
done
