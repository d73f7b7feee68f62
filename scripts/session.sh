# Functions for the scripts that run the program under Wine (test.sh, demo.sh,
# scripts/wine-session.sh); source this file from the top of the tree. What a
# function starts is stopped when the sourcing script exits.

session_screens=()   # Xvfb processes
session_prefixes=()  # prefixes whose persistent wineserver is ours
session_end() {
  local prefix pid
  for prefix in "${session_prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  done
  for pid in "${session_screens[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap session_end EXIT

# A virtual 1024x738 screen (Xvfb) on a free display number, named in DISPLAY.
start_virtual_screen() {
  local answer pid
  answer=$(mktemp)
  # Xvfb writes its display number once it accepts connections.
  Xvfb -displayfd 3 -screen 0 1024x738x24 -nolisten tcp 3>"$answer" >/dev/null 2>&1 &
  pid=$!
  session_screens+=("$pid")
  while ! grep -q . "$answer"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "Xvfb did not start" >&2
      rm -f "$answer"
      return 1
    fi
    sleep 0.05
  done
  export DISPLAY=":$(head -n 1 "$answer")"
  rm -f "$answer"
}

wine_environment() {
  export WINEDEBUG=-all
  # Shortcuts saved by the tests and the demo stay out of the host's menus.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINE64="${WINE64:-/usr/lib/wine/wine64}"
}

# Makes the prefix WINEPREFIX if it does not exist yet (takes a while); with
# "unmanaged", Wine hands its windows to no window manager there. A virtual
# screen has none, and Wine waits two seconds for one whenever a managed
# window (a message box, a captioned or full-screen window) is hidden.
make_prefix() {
  wine_environment
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX (first use takes a while)"
    # Wine's tools answer with codes of their own; a session goes on regardless.
    "$WINE64" wineboot -i >/dev/null 2>&1 || true
  fi
  if [ "${1:-}" = unmanaged ] && ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  fi
  # Its wineserver stays a few seconds (and then saves the registry); a
  # persistent one, or a copy of the prefix, must come after it.
  wineserver -w || true
}

# One Wine session of WINEPREFIX (the test prefix unless set): the prefix is
# made on first use and one persistent wineserver serves every program until
# the script ends. WINE64 names the loader; the 64-bit one hands 32-bit
# programs to the 32-bit one where that runs. "unmanaged" as for make_prefix.
start_wine_session() {
  export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
  make_prefix "$@"
  session_prefixes+=("$WINEPREFIX")
  wine_session_programs
}

# The persistent wineserver of WINEPREFIX, Wine's services and desktop, and
# the program that holds the desktop.
wine_session_programs() {
  wineserver -p || true
  # Start Wine's services and desktop now, detached from our output: a process
  # started later by a test would otherwise keep the test's output pipe open.
  "$WINE64" wineboot >/dev/null 2>&1 </dev/null || true
  # Wine closes its desktop a second after the last program leaves: a test
  # program starting in that moment could lose it. This one holds it, and
  # says so once it does.
  local keeper=build/win64/desktop-keeper.exe ready waited=0
  [ -f "$keeper" ] || return 0
  ready=$(mktemp)
  "$WINE64" "$keeper" >"$ready" 2>/dev/null </dev/null &
  while ! grep -q . "$ready" && [ $waited -lt 200 ]; do
    sleep 0.05
    waited=$((waited + 1))
  done
  rm -f "$ready"
}

# A copy of the test prefix FROM at TO, made in a moment: Windows' system
# folders (1.2 GB of libraries that nothing writes to) are hard links, the
# rest (registry, settings, users' folders) real copies.
copy_prefix() {
  local from=$1 to=$2
  rm -rf "$to"
  cp -al "$from" "$to"
  find "$to" -type f -links +1 -not -path '*/windows/system32/*' \
    -not -path '*/windows/syswow64/*' -not -path '*/windows/winsxs/*' \
    -exec sh -c 'for f; do cp -p "$f" "$f.copy" && mv -f "$f.copy" "$f"; done' sh {} +
}

# N lanes for the tests of build/TREE, each a Wine desktop of its own: its own
# virtual screen and its own copy of the test prefix (made from WINEPREFIX,
# which must exist) with its own wineserver. Tests on different lanes see
# neither each other's windows nor registry nor Windows folders. The lanes are
# build/lanes/TREE/laneI (a prefix and the screen's name); ctest hands them out
# through build/lanes/TREE/desktops.json (tests/wine/run.sh reads its choice).
# They come up in the background, while the tree builds; lanes_ready waits.
lanes_starting=()
start_lanes() {
  local tree=$1 count=$2 root lane i screen=${DISPLAY:-} template=$WINEPREFIX ids=""
  root=$PWD/build/lanes/$tree
  mkdir -p "$root"
  rm -f "$root/desktops.json"
  WINEPREFIX=$template wineserver -w || true  # the template holds still
  for i in $(seq 1 "$count"); do
    lane=$root/lane$i
    mkdir -p "$lane"
    start_virtual_screen
    echo "$DISPLAY" >"$lane/display"
    session_prefixes+=("$lane/prefix")
    (
      [ -f "$lane/prefix/system.reg" ] || copy_prefix "$template" "$lane/prefix"
      export WINEPREFIX=$lane/prefix
      make_prefix unmanaged && wine_session_programs
    ) &
    lanes_starting+=($!)
    ids+="${ids:+, }{\"id\": \"lane$i\", \"slots\": 1}"
  done
  export DISPLAY=$screen WINEPREFIX=$template
  printf '{"version": {"major": 1, "minor": 0}, "local": [{"desktop": [%s]}]}\n' "$ids" \
    >"$root/desktops.json.next"
}

# Waits for the lanes start_lanes started; then ctest may hand them out.
lanes_ready() {
  local root=$PWD/build/lanes/$1
  [ ${#lanes_starting[@]} -eq 0 ] || wait "${lanes_starting[@]}"
  lanes_starting=()
  mv "$root/desktops.json.next" "$root/desktops.json"
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
  # Debian's 32-bit Wine is a package of its own; its absence says it plainly.
  if command -v dpkg-query >/dev/null &&
     [ "$(dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null)" != installed ]; then
    wine32_refusal="wine32:i386 is not installed"
  fi
  return 1
}
