# Functions for the scripts that run the program under Wine (test.sh, demo.sh,
# scripts/wine-session.sh); source this file from the top of the tree. What a
# function starts is stopped when the sourcing script exits.

session_xvfb=""
session_wine=0
session_end() {
  if [ "$session_wine" = 1 ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "$session_xvfb" ]; then kill "$session_xvfb" 2>/dev/null || true; fi
}
trap session_end EXIT

# A virtual 1024x738 screen (Xvfb) on a free display number, named in DISPLAY.
start_virtual_screen() {
  local answer
  answer=$(mktemp)
  # Xvfb writes its display number once it accepts connections.
  Xvfb -displayfd 3 -screen 0 1024x738x24 -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  session_xvfb=$!
  while ! grep -q . "$answer"; do
    if ! kill -0 "$session_xvfb" 2>/dev/null; then
      echo "Xvfb did not start" >&2
      rm -f "$answer"
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$answer")"
  rm -f "$answer"
}

# One Wine session of WINEPREFIX (the test prefix unless set): the prefix is
# made on first use and one persistent wineserver serves every program until
# the script ends. WINE64 names the loader; the 64-bit one hands 32-bit
# programs to the 32-bit one where that runs.
start_wine_session() {
  export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
  export WINEDEBUG=-all
  # Shortcuts saved by the tests and the demo stay out of the host's menus.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINE64="${WINE64:-/usr/lib/wine/wine64}"
  # Wine's tools answer with codes of their own; a session goes on regardless.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (first use takes a while)"
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
    # Its wineserver stays a few seconds; the persistent one must be ours.
    wineserver -w || true
  fi
  wineserver -p || true
  session_wine=1
  # Start Wine's services and desktop now, detached from our output: a process
  # started later by a test would otherwise keep the test's output pipe open.
  "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
  # Wine closes its desktop a second after the last program leaves: a test
  # program starting in that moment could lose it. This one holds it.
  local keeper=build/win64/desktop-keeper.exe
  if [ -f "$keeper" ]; then "$WINE64" "$keeper" >/dev/null 2>&1 </dev/null & fi
  sleep 1
}

# Whether this machine's Wine runs 32-bit Windows programs: the i686 tree's
# probe must start and answer. Otherwise wine32_refusal says what happened.
wine32_refusal=""
runs_32bit_programs() {
  local probe=build/win/wine32-probe.exe answer
  if [ ! -f "$probe" ]; then
    wine32_refusal="$probe is not built"
    return 1
  fi
  if answer=$(timeout 120 "$WINE64" "$probe" 2>&1 </dev/null) &&
     [ "$(printf '%s' "$answer" | tr -d '\r')" = "32-bit programs run" ]; then
    return 0
  fi
  wine32_refusal="$probe answered: $(printf '%s' "$answer" | tr -d '\r' | head -n 1)"
  [ -n "$answer" ] || wine32_refusal="$probe ended without an answer"
  return 1
}
