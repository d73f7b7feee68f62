#!/usr/bin/env bash
# Builds the libFuzzer targets of the rules (build/fuzz, clang with ASan and
# UBSan) and runs each for a bounded time: scripts/fuzz.sh [seconds] [target...]
# (60 s each by default). Corpora grow in build/fuzz/corpus/<target>; a crash
# leaves its input in build/fuzz/crashes/<target>/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
out=${FUZZ_BUILD_DIR:-build/fuzz}
if [ "$out" = build/fuzz ]; then
  scripts/build.sh fuzz
else
  cmake --preset fuzz -B "$out" >/dev/null
  cmake --build "$out" -j"$(nproc)"
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*_fuzz.cpp; do
    name=${source##*/}
    targets+=("${name%_fuzz.cpp}")
  done
fi

failed=()
for target in "${targets[@]}"; do
  corpus="$out/corpus/$target" crashes="$out/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  printf '%-18s %4ss ... ' "$target" "$seconds"
  if "$out/$target" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
       -artifact_prefix="$crashes/" "$corpus" "fuzz/seeds/$target" >"$out/$target.log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$target.log")
    echo "ok ($runs runs, corpus $(ls "$corpus" | wc -l))"
  else
    echo "FAILED: see $out/$target.log and $crashes/"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -ne 0 ]; then
  echo "crashes or broken properties in: ${failed[*]}"
  exit 1
fi
