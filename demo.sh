#!/usr/bin/env bash
# Installs what is missing, builds, assembles the demo disk and runs setup.exe
# under Wine: on $DISPLAY when there is one, else on a virtual 1024x738 screen
# (Xvfb), where it saves a screenshot after the first paint and says where.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
SETUP_SKIP_TEST_BUILD=0 scripts/build.sh

# The shipped disk is 32-bit. A kernel without 32-bit support runs Wine's
# 64-bit side only; then the demo runs the x86_64 build of the same disk.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  disk=build/disk wine=/usr/lib/wine/wine
else
  disk=build/win64/disk wine=/usr/lib/wine/wine64
  echo "This machine cannot run 32-bit programs; the demo runs the 64-bit build ($disk)."
fi
standin=$(find build/win64 build/win -name progman-standin.exe 2>/dev/null | head -n 1 || true)

export WINEPREFIX="$PWD/build/demo-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
shot="$PWD/build/demo-screenshot.png"

run_demo() {
  [ -f "$WINEPREFIX/system.reg" ] || { echo "Creating the demo Wine prefix (first use takes a while)"; "$wine" wineboot -i >/dev/null 2>&1; }
  wineserver -p
  "$wine" wineboot >/dev/null 2>&1 </dev/null
  # Our Program Manager stand-in answers the shortcut request, so a Yes to
  # "Create program shortcut?" makes a real shortcut.
  [ -n "$standin" ] && { "$wine" "$standin" >/dev/null 2>&1 </dev/null & sleep 2; }
  "$wine" "$disk/setup.exe" >/dev/null 2>&1 </dev/null &
  local setup=$!
  for _ in $(seq 1 100); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Kellum Setup"' && break
    sleep 0.2
  done
  sleep 3   # the first paint
  import -window root "$shot" && echo "Screenshot of the setup window: $shot"
  if [ "${1:-}" = wait ]; then
    echo "setup.exe is running; the installed product goes to the folder you choose."
    wait "$setup" || true
  fi
  wineserver -k >/dev/null 2>&1 || true
}

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  run_demo wait
else
  echo "No display: running on a virtual 1024x738 screen."
  export -f run_demo
  export disk wine standin shot
  xvfb-run -a -s "-screen 0 1024x738x24" bash -c run_demo
fi
