#!/usr/bin/env bash
# Installs what the build, the tests and the demo need and is not there yet
# (Debian 12, as root). Quiet when everything is present.
set -euo pipefail

# wine32 runs the shipped 32-bit setup.exe and its tests where the kernel can
# run 32-bit programs; the x86_64 build and wine64 are tested everywhere.
# osslsigncode and openssl sign setup.exe; the signing test makes a SoftHSM2
# token (softhsm2), fills it with pkcs11-tool (opensc) and signs through it
# with the PKCS#11 engine, which osslsigncode 2.9 loads (it has no provider
# option).
packages=(cmake make g++ python3 googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine64 wine32:i386 xvfb xauth x11-utils imagemagick clang libclang-rt-14-dev
          osslsigncode openssl softhsm2 opensc libengine-pkcs11-openssl)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get update -q
# With recommends: Wine's fonts and helpers come that way.
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
