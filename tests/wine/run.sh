#!/bin/sh
# Runs a Windows program of the build under Wine (64-bit loader), in the test
# prefix named by the test's environment (a prefix inside the build tree).
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
exec "${WINE64:-/usr/lib/wine/wine64}" "$@"
