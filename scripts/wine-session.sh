#!/usr/bin/env bash
# Runs a command inside one Wine session of a prefix (the test prefix unless
# WINEPREFIX names another): the prefix is made on first use, one persistent
# wineserver serves the whole command and is stopped at the end. WINE64 names
# the loader (the 64-bit one unless said). Expects DISPLAY to be set. Wine
# hands the windows to no window manager, as in test.sh (scripts/session.sh).
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/session.sh
start_wine_session unmanaged
"$@"
