#!/bin/sh
# Runs a Windows program of the build under Wine, in the test prefix named by
# the test's environment (a prefix inside the build tree). The 64-bit loader
# hands a 32-bit program to the 32-bit one.
: "${WINEPREFIX:?WINEPREFIX must name the test prefix}"
export WINEPREFIX
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
exec "${WINE64:-/usr/lib/wine/wine64}" "$@"
