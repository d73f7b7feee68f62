#!/usr/bin/env bash
# Prints the banner's paint times under Wine: a full repaint and a copy-back
# of the whole window, median of many runs, on screens of 1024x738 and
# 1920x1080 (one Xvfb of each size; the work area is the whole screen).
# Usage: bench/paint.sh [win64 build folder] ; RUNS=n sets the runs (200).
set -uo pipefail
cd "$(dirname "$0")/.."
build="$(realpath "${1:-build/win64}")"
runs="${RUNS:-200}"
exe="$build/bench/paint_bench.exe"
if [ ! -f "$exe" ]; then
  echo "no $exe: build the x86_64 tree first (scripts/build.sh)" >&2
  exit 1
fi
export WINEPREFIX="${WINEPREFIX:-$(realpath -m "$build/../wineprefix")}"
out="$(mktemp)"
trap 'rm -f "$out"' EXIT
for size in 1024x738 1920x1080; do
  # Output to a file: Wine's background processes may hold a pipe open.
  xvfb-run -a -s "-screen 0 ${size}x24" scripts/wine-session.sh \
    tests/wine/run.sh "$exe" "$runs" >"$out" 2>&1 </dev/null
  grep -E "full repaint|copy-back" "$out" || { echo "no figures at $size:"; cat "$out"; }
done
