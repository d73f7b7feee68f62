#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native
# rule tests, the Win32 tests under Wine and the end-to-end tests, which drive
# the real setup.exe under Wine on a virtual 1024x738 screen.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
scripts/build.sh

# One ctest run over both builds and a few seconds of each fuzz target.
printf 'subdirs("native")\nsubdirs("win64")\nsubdirs("fuzz")\n' > build/CTestTestfile.cmake

jobs=$(nproc)
xvfb-run -a -s "-screen 0 1024x738x24" \
  scripts/wine-session.sh ctest --test-dir build --output-on-failure -j"$jobs" "$@"
