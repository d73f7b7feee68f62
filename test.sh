#!/usr/bin/env bash
# Checks the layers of the product folders, installs what is missing, builds
# every tree and runs every test: the native rule tests, each fuzz target for
# a few seconds, and the Win32 and end-to-end tests under Wine on virtual
# 1024x738 screens, which drive the real setup.exe: those of the x86_64 build
# (win.*, e2e.*) everywhere, and those of the shipped i686 build (win32.*,
# e2e32.*) where Wine runs 32-bit programs. Elsewhere the i686 tree builds
# only setup.exe, and its image test (win32.setup_image) reads it.
# Arguments go to every ctest run: ./test.sh -R e2e.window_test
#
# A tree's tests start as soon as the tree is built and run while the next
# trees build; those builds run at the lowest priority, so that the tests keep
# their pace. The x86_64 tree's Wine tests, the longest, start first. The Wine tests of each Windows tree run side by side on LANES
# lanes (2 unless set), each a Wine desktop, screen and prefix of its own
# (scripts/session.sh). Each tree's output is shown once all have ended.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/session.sh

lanes=${LANES:-2}
passed=0 failed=0 status=0 failures=()
running=()  # test runs in the background

stop_running() {
  local job
  for job in "${running[@]}"; do pkill -P "$job" 2>/dev/null || true; done
  session_end
}
trap stop_running EXIT

# Runs the test preset of a tree in the background, into build/<tree>.ctest.log.
test_tree() {
  local tree=$1
  shift
  (
    code=0
    ctest --preset "$tree" "$@" >"build/$tree.ctest.log" 2>&1 || code=$?
    echo "$code" >"build/$tree.ctest.status"
  ) &
  running+=($!)
}

# The tests of a Windows tree on the lanes started for it (start_lanes).
test_tree_on_lanes() {
  local tree=$1
  shift
  lanes_ready "$tree"
  SETUP_LANES=$PWD/build/lanes/$tree test_tree "$tree" -j"$lanes" \
    --resource-spec-file "$PWD/build/lanes/$tree/desktops.json" "$@"
}

# Shows a tree's output; its counts join the totals.
report_tree() {
  local tree=$1 log=build/$1.ctest.log summary
  echo "=== Tests of build/$tree"
  cat "$log"
  [ "$(cat "build/$tree.ctest.status")" = 0 ] || status=1
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1) ||
    true
  if [ -n "$summary" ]; then
    local total=${summary##* } bad
    bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$summary")
    passed=$((passed + total - bad))
    failed=$((failed + bad))
  elif [ "$(cat "build/$tree.ctest.status")" != 0 ]; then
    failures+=("build/$tree: ctest ran no tests (see above)")
  fi
  mapfile -t -O "${#failures[@]}" failures < <(grep -E '^[[:space:]]*[0-9]+ - .* \(' "$log" || true)
}

# The layers of the product folders, before anything is built; one test in the totals.
echo "=== Layers of the product folders"
if scripts/check-layers.sh; then
  passed=$((passed + 1))
else
  failed=$((failed + 1)) status=1
  failures+=("layers: scripts/check-layers.sh (include cycle)")
fi

scripts/ensure-packages.sh
mkdir -p build
rm -f build/*.ctest.log build/*.ctest.status

# The test prefix (the lanes' template) is made or checked on a screen of its
# own meanwhile.
start_virtual_screen
export WINEPREFIX=$PWD/build/wineprefix
make_prefix unmanaged &
prefix_ready=$!
# The Windows trees take descblock from the native tree. The x86_64 tree's
# Wine tests run everywhere and take longest: they start first, and the
# other trees build meanwhile, the i686 one first where its tests run.
# Its lanes come up while it builds; they need its desktop keeper.
scripts/build.sh native:descblock
scripts/build.sh win64:desktop_keeper >/dev/null
wait "$prefix_ready"
wine_environment
start_lanes win64 "$lanes"
scripts/build.sh win64
test_tree_on_lanes win64 "$@"

# Whether the i686 tests can run, asked of the i686 tree's probe.
nice -n 19 scripts/build.sh win:wine32_probe >/dev/null
trees=(native fuzz win64 win)
if runs_32bit_programs; then
  echo "Testing the native, fuzz, x86_64 and i686 builds: Wine runs 32-bit programs here."
  start_lanes win "$lanes"
  nice -n 19 scripts/build.sh win
  test_tree_on_lanes win "$@"
else
  echo "Testing the native, fuzz and x86_64 builds, and of the i686 build its setup.exe as" \
       "files only: Wine runs no 32-bit programs here ($wine32_refusal)."
  # The shipped program alone: its image test reads the files and needs no Wine.
  nice -n 19 scripts/build.sh win:setup_edition0,setup_edition1
  test_tree win -L image "$@"
fi
nice -n 19 scripts/build.sh native
test_tree native -j"$(nproc)" "$@"
nice -n 19 scripts/build.sh fuzz
test_tree fuzz -j"$(nproc)" "$@"
wait "${running[@]}"
running=()

for tree in "${trees[@]}"; do
  report_tree "$tree"
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
