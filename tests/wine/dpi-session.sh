#!/usr/bin/env bash
# Runs a Windows test program in a Wine session of its own at another DPI, on
# an Xvfb screen of its own: the program sees the screen as a DPI-aware
# program sees it on Windows at that scale. Wine reads LogPixels when its
# session starts, so the prefix (made on first use, then kept) gets the value
# before the run's wineserver starts.
# Usage: dpi-session.sh PREFIX DPI WIDTHxHEIGHT PROGRAM [ARGUMENTS...]
set -euo pipefail
prefix=$1 dpi=$2 screen=$3
shift 3
template=${WINEPREFIX:-}  # the tests' prefix: a copy of it is quicker to make
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=${WINE64:-/usr/lib/wine/wine64}
fonts='HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'

xvfb=""
end_session() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
}
trap end_session EXIT

# The screen: Xvfb writes its display number once it accepts connections.
answer=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
xvfb=$!
while ! grep -q . "$answer"; do
  if ! kill -0 "$xvfb" 2>/dev/null; then
    echo "Xvfb did not start" >&2
    exit 1
  fi
  sleep 0.1
done
export DISPLAY=":$(head -n 1 "$answer")"
rm -f "$answer"

# Wine's tools answer with codes of their own; what matters is checked after.
if [ ! -f "$prefix/system.reg" ] && [ -f "$template/system.reg" ]; then
  rm -rf "$prefix"
  cp -a "$template" "$prefix"
  rm -f "$prefix"/dosdevices/[xy]:  # the small drives are the test session's
fi
if [ ! -f "$prefix/system.reg" ]; then
  echo "Creating the Wine prefix $prefix (first use takes a while)"
  "$wine" wineboot -i >/dev/null 2>&1 || true
fi
"$wine" reg add "$fonts" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || true
wineserver -w || true  # the value is read by the next session
if ! grep -qi "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" "$prefix/system.reg"; then
  echo "LogPixels=$dpi did not reach $prefix/system.reg" >&2
  exit 1
fi
wineserver -p
"$wine" wineboot >/dev/null 2>&1 </dev/null || true
# This session's screen and prefix, whatever desktop ctest handed the test.
"$wine" "$@"
