#!/usr/bin/env bash
# Installs what is missing, builds every tree and runs every test: the native
# rule tests, each fuzz target for a few seconds, and the Win32 and end-to-end
# tests under Wine on a virtual 1024x738 screen, which drive the real
# setup.exe: those of the x86_64 build (win.*, e2e.*) everywhere, and those of
# the shipped i686 build (win32.*, e2e32.*) where Wine runs 32-bit programs.
# Arguments go to every ctest run: ./test.sh -R e2e.window_test
set -euo pipefail
cd "$(dirname "$0")"
source scripts/session.sh

passed=0 failed=0 status=0 failures=()

# One test preset of CMakePresets.json; its counts join the totals.
run_tree() {
  local tree=$1 log=build/$1.ctest.log summary
  shift
  echo "=== Tests of build/$tree"
  ctest --preset "$tree" -j"$(nproc)" "$@" 2>&1 | tee "$log" || status=1
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1) ||
    true
  if [ -n "$summary" ]; then
    local total=${summary##* } bad
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  fi
  mapfile -t -O "${#failures[@]}" failures < <(grep -E '^[[:space:]]*[0-9]+ - .* \(' "$log" || true)
}

scripts/ensure-packages.sh
scripts/build.sh
start_virtual_screen
start_wine_session unmanaged

trees=(native fuzz win64)
if runs_32bit_programs; then
  trees+=(win)
  echo "Testing the native, fuzz, x86_64 and i686 builds: Wine runs 32-bit programs here."
else
  echo "Testing the native, fuzz and x86_64 builds; not the i686 build: Wine runs no" \
       "32-bit programs here ($wine32_refusal)."
fi
for tree in "${trees[@]}"; do
  run_tree "$tree" "$@"
done

echo "=== All builds (${trees[*]})"
if [ ${#failures[@]} -gt 0 ]; then
  echo "The following tests FAILED:"
  printf '%s\n' "${failures[@]}"
  status=1
fi
total=$((passed + failed))
percent=100
[ "$total" -eq 0 ] || percent=$((passed * 100 / total))
echo "$passed passed, $failed failed"
echo "$percent% tests passed, $failed tests failed out of $total"
exit "$status"
