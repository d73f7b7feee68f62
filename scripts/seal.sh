#!/usr/bin/env bash
# Seals a disk: writes into DISK/setup.exe the list of every file its install
# copies from DISK (relative name, size, SHA-256), replacing an older seal.
# A sealed setup.exe copies only what the list names, as it is named there.
# Run it once the disk is complete and before signing; scripts/sign.sh seals
# each setup.exe it signs itself unless given --no-seal.
#
#   scripts/seal.sh DISK [--edition 0|1] [--into FILE]
#
#   --edition N   the edition whose files are listed; without it, the one whose
#                 main program (Vestra.exe, kminspector.exe) is on the disk
#   --into FILE   write the seal into FILE instead of DISK/setup.exe
#
# The tool is build/native/tools/seal (SEAL_TOOL names another); it is built
# when missing. A signed setup.exe is refused: seal before signing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case ${1:-} in
  "" | -h | --help) sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'; [ -n "${1:-}" ]; exit ;;
esac
tool=${SEAL_TOOL:-$root/build/native/tools/seal}
if [ ! -x "$tool" ]; then
  (cd "$root" && cmake --preset native >/dev/null && cmake --build --preset native --target seal >/dev/null)
fi
exec "$tool" write "$@"
