#!/usr/bin/env bash
# Installs what is missing, builds, assembles the demo disk and runs setup.exe
# under Wine: on $DISPLAY when there is one, else on a virtual 1024x738 screen
# (Xvfb), where it saves a screenshot after the first paint and says where.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/session.sh

shot=$PWD/build/demo-screenshot.png
interactive=0 disk="" standin=""

# A display that answers keeps setup.exe for the user; else a virtual screen.
choose_screen() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    interactive=1
  else
    echo "No display: running on a virtual 1024x738 screen."
    start_virtual_screen
  fi
}

# The shipped disk is 32-bit; where Wine runs no 32-bit programs, the demo
# runs the x86_64 build of the same disk.
choose_disk() {
  if runs_32bit_programs; then
    disk=build/disk standin=build/win/progman-standin.exe
  else
    disk=build/win64/disk standin=build/win64/progman-standin.exe
    echo "Wine runs no 32-bit programs here ($wine32_refusal);" \
         "the demo runs the 64-bit build ($disk)."
  fi
}

# Our Program Manager stand-in answers the shortcut request, so a Yes to
# "Create program shortcut?" makes a real shortcut. It is up long before
# anyone can answer that question, so nothing waits for it.
start_standin() {
  "$WINE64" "$standin" --lifetime 0 >/dev/null 2>&1 </dev/null &
}

start_setup() {
  "$WINE64" "$disk/setup.exe" >/dev/null 2>&1 </dev/null &
  setup=$!
}

# Until the setup window is on the screen and the screen stops changing.
wait_for_first_paint() {
  local previous="" current
  for _ in $(seq 1 150); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Kellum Setup"'; then
      current=$(import -window root rgb:- 2>/dev/null | md5sum) || current=""
      [ "$current" = "$previous" ] && return 0
      previous=$current
    fi
    sleep 0.2
  done
}

take_screenshot() {
  import -window root "$shot" && echo "Screenshot of the setup window: $shot"
}

wait_for_user() {
  echo "setup.exe is running: choose a folder and press OK to install the demo product."
  wait "$setup" || true
}

scripts/ensure-packages.sh
scripts/build.sh
choose_screen
export WINEPREFIX=$PWD/build/demo-prefix
start_wine_session
choose_disk
start_standin
start_setup
wait_for_first_paint
take_screenshot || true
if [ "$interactive" = 1 ]; then
  wait_for_user
fi
