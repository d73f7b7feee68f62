#!/usr/bin/env bash
# setup.exe of both editions of a Windows build, as the loader and the size
# budget see it: the program within the budget, address-space randomisation
# with the relocations it needs, read-only data kept read-only, and none of the
# C runtime's start-up, nor work that only that start-up would do (static
# constructors, destructors registered at exit, thread-local callbacks).
# Reads the files only, so it runs where Wine runs no 32-bit programs.
# Usage: setup_image_test.sh BUILD_DIR BUDGET_BYTES|-
set -uo pipefail
build=$1 budget=$2
top=$(cd "$(dirname "$0")/../.." && pwd)
# These read the i686 and the x86_64 programs alike.
objdump=x86_64-w64-mingw32-objdump nm=x86_64-w64-mingw32-nm

# The objects of the setup link, for what the start-up alone would run.
mapfile -t objects < <(find "$build/CMakeFiles/setup_edition0.dir" \
  "$build/CMakeFiles/setup_core.dir" "$build/CMakeFiles/rules.dir" -name '*.obj')

headers() { "$objdump" -p "$exe"; }
sections() { "$objdump" -h "$exe" | sed -n '/^Idx/,$p' | tail -n +2 | paste - -; }
# A bit of a header field that objdump prints in hex, with or without 0x.
flag_set() {
  local value
  value=$(headers | awk -v f="$1" '$1 == f { print $2 }')
  (( 16#${value#0x} & $2 ))
}

within_budget() {
  local program
  program=$("$top/scripts/size.sh" "$build" | awk -v e="$edition" '$1 == e { print $3 }')
  echo "program: $program bytes, budget ${budget}"
  [ "$budget" = - ] || [ "${program:-999999999}" -le "$budget" ]
}
randomised() { flag_set DllCharacteristics 0x40 && flag_set DllCharacteristics 0x100; }
relocations_kept() {
  ! flag_set Characteristics 0x1 && sections | awk '$2 == ".reloc" && $8 == "CONTENTS," { ok = 1 } END { exit !ok }'
}
read_only_data() { sections | awk '$2 == ".rdata" { ok = /READONLY/ } END { exit !ok }'; }
# grep -q stops reading early: its input is whole first, so that no writer
# dies of a broken pipe and fails the pipeline.
no_startup_sections() { ! grep -qE '^\.(CRT|tls)' <<<"$(sections | awk '{ print $2 }')"; }
no_startup_imports() {
  ! grep -qwE '__getmainargs|__set_app_type|_initterm|_cexit|_amsg_exit|exit|_onexit|atexit' <<<"$(headers | grep -vF "$exe:")"
}
entry_in_code() {
  local entry text_start text_size
  entry=$((0x$(headers | awk '$1 == "AddressOfEntryPoint" { print $2 }')))
  read -r text_start text_size < <(sections | awk '$2 == ".text" { print $4, $3 }')
  text_start=$((0x$text_start - 0x$(headers | awk '$1 == "ImageBase" { print $2 }')))
  (( entry >= text_start && entry < text_start + 0x$text_size ))
}
# Names only: nm heads each object with its path, and a build folder may be
# called "main".
undefined_symbols() { "$nm" -u -A "${objects[@]}" | awk '{ print $NF }'; }
nothing_to_construct() {
  ! grep -qE '^\.(ctors|dtors|init_array|fini_array|CRT|tls)' <<<"$("$objdump" -h "${objects[@]}" | awk '{ print $2 }')" &&
    ! grep -qxE '_*(atexit|cxa_atexit|onexit|main)' <<<"$(undefined_symbols)"
}

checks=(
  "within_budget|the program fits the budget"
  "randomised|address-space randomisation and no-execute data are on"
  "relocations_kept|the relocations are there for the randomisation"
  "read_only_data|read-only data stays read-only"
  "no_startup_sections|no C runtime start-up sections (.CRT, .tls)"
  "no_startup_imports|no C runtime start-up or exit procedures imported"
  "entry_in_code|the entry point lies in the code"
  "nothing_to_construct|no static constructors, exit registrations or thread-local data"
)
[ ${#objects[@]} -gt 0 ] || { echo "FAIL: no objects of the setup link in $build"; exit 1; }
failures=0 total=0
for edition in 0 1; do
  exe=$build/edition$edition/setup.exe
  for check in "${checks[@]}"; do
    total=$((total + 1))
    if [ -f "$exe" ] && "${check%%|*}"; then
      echo "ok   edition $edition: ${check#*|}"
    else
      echo "FAIL edition $edition: ${check#*|} ($exe)"
      failures=$((failures + 1))
    fi
  done
done
echo "$((total - failures)) of $total checks passed"
[ "$failures" = 0 ]
