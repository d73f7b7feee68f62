#!/bin/sh
# Runs a Windows program of the build under Wine, in the test prefix named by
# the test's environment (a prefix inside the build tree). The 64-bit loader
# hands a 32-bit program to the 32-bit one.
#
# A Wine desktop (one screen, one prefix, one wineserver) serves one test at a
# time: the tests broadcast to every window on it and share its registry. When
# ctest hands the test a desktop of test.sh's lanes (a resource of its spec
# file), the test runs on that lane's screen and prefix. When it hands it none
# (ctest run without a spec file), the test waits for the session's desktop.
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
wine=${WINE64:-/usr/lib/wine/wine64}
lane=${CTEST_RESOURCE_GROUP_0_DESKTOP:-}
lane=${lane#id:}
lane=${lane%%,*}
if [ -n "$lane" ] && [ -n "${SETUP_LANES:-}" ] && [ -d "$SETUP_LANES/$lane" ]; then
  WINEPREFIX=$SETUP_LANES/$lane/prefix
  DISPLAY=$(cat "$SETUP_LANES/$lane/display")
  export WINEPREFIX DISPLAY
  exec "$wine" "$@"
fi
export WINEPREFIX
if [ -z "${CTEST_RESOURCE_GROUP_COUNT:-}" ]; then
  exec flock -o "${WINEPREFIX%/}.lock" "$wine" "$@"
fi
exec "$wine" "$@"
