#!/usr/bin/env bash
# Installs what is missing, builds, assembles the demo disk and runs setup.exe
# under Wine: on $DISPLAY when there is one, else on a virtual 1024x738 screen
# (Xvfb), where it saves a screenshot after the first paint and says where.
set -euo pipefail
cd "$(dirname "$0")"

if [ "${1:-}" != --run ]; then
  scripts/ensure-packages.sh
  scripts/build.sh
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$0" --run wait
  fi
  echo "No display: running on a virtual 1024x738 screen."
  exec xvfb-run -a -s "-screen 0 1024x738x24" "$0" --run
fi

# Wine's tools answer with their own exit codes; the demo goes on regardless.
set +e

# The shipped disk is 32-bit. A kernel without 32-bit support runs Wine's
# 64-bit side only; then the demo runs the x86_64 build of the same disk.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  disk=build/disk wine=/usr/lib/wine/wine
else
  disk=build/win64/disk wine=/usr/lib/wine/wine64
  [ "${2:-}" = --session ] ||
    echo "This machine cannot run 32-bit programs; the demo runs the 64-bit build ($disk)."
fi
standin=build/win64/progman-standin.exe
[ "$wine" = /usr/lib/wine/wine ] && standin=build/win/progman-standin.exe

if [ "${2:-}" != --session ]; then
  WINE64="$wine" WINEPREFIX="$PWD/build/demo-prefix" exec scripts/wine-session.sh "$0" --run --session "${2:-}"
fi
shot="$PWD/build/demo-screenshot.png"
# Our Program Manager stand-in answers the shortcut request, so a Yes to
# "Create program shortcut?" makes a real shortcut.
if [ -f "$standin" ]; then
  "$WINE64" "$standin" --lifetime 0 >/dev/null 2>&1 </dev/null &
  sleep 2
fi
"$WINE64" "$disk/setup.exe" >/dev/null 2>&1 </dev/null &
setup=$!
for _ in $(seq 1 100); do
  xwininfo -root -tree 2>/dev/null | grep -q '"Kellum Setup"' && break
  sleep 0.2
done
sleep 3  # the first paint
import -window root "$shot" && echo "Screenshot of the setup window: $shot"
if [ "${3:-}" = wait ]; then
  echo "setup.exe is running: choose a folder and press OK to install the demo product."
  wait "$setup" || true
fi
