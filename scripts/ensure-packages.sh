#!/usr/bin/env bash
# Installs what the build, the tests and the demo need and is not there yet
# (Debian 12, as root). Quiet when everything is present.
set -euo pipefail

packages=(cmake make g++ python3 googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64
          xvfb xauth x11-utils imagemagick clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
  "${missing[@]}"
