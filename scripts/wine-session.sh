#!/usr/bin/env bash
# Runs a command inside one Wine session of a prefix (the test prefix unless
# WINEPREFIX names another): the prefix is made on first use, one persistent
# wineserver serves the whole command and is stopped at the end. WINE64 names
# the loader (the 64-bit one unless said). Expects DISPLAY to be set.
set -uo pipefail
cd "$(dirname "$0")/.."
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
export WINEDEBUG=-all
# Shortcuts saved by the tests stay out of the host's menus (winemenubuilder).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINE64="${WINE64:-/usr/lib/wine/wine64}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the Wine prefix $WINEPREFIX (first use takes a while)"
  "$WINE64" wineboot -i >/dev/null 2>&1
fi
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
# Start Wine's services and desktop now, detached from our output: a process
# started later by a test would otherwise keep the test's output pipe open.
"$WINE64" wineboot >/dev/null 2>&1 </dev/null
sleep 1
"$@"
