#!/usr/bin/env bash
# Installs what the build, the tests and the demo need and is not there yet
# (Debian 12, as root). Quiet when everything is present.
#
# Mirrors are at times half-synced for hours: one index fails to download and
# a package that needs it cannot be installed. The update is then tried a few
# times and the run goes on with the indexes at hand; wine32:i386 is the one
# package the project can do without (the tests and the demo then use the
# x86_64 build), so its absence is one line, not a stop.
set -uo pipefail

# wine32 runs the shipped 32-bit setup.exe and its tests where the kernel can
# run 32-bit programs; the x86_64 build and wine64 are tested everywhere.
# osslsigncode and openssl sign setup.exe; the signing test makes a SoftHSM2
# token (softhsm2), fills it with pkcs11-tool (opensc) and signs through it
# with the PKCS#11 engine, which osslsigncode 2.9 loads (it has no provider
# option).
required=(cmake make g++ python3 googletest g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine64 xvfb xauth x11-utils imagemagick clang libclang-rt-14-dev
          osslsigncode openssl softhsm2 opensc libengine-pkcs11-openssl locales)
optional=(wine32:i386)
update_tries=${APT_UPDATE_TRIES:-3}
retry_pause=${APT_RETRY_PAUSE:-5}

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing_of() {
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

mapfile -t missing_required < <(missing_of "${required[@]}")
mapfile -t missing_optional < <(missing_of "${optional[@]}")
[ ${#missing_required[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && exit 0

echo "Installing: ${missing_required[*]} ${missing_optional[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
apt() { DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get "$@"; }

if [ ${#missing_optional[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

# The update, a few times; then on with whatever indexes it fetched.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
updated=0
for try in $(seq 1 "$update_tries"); do
  if apt update -q >"$log" 2>&1; then
    updated=1
    break
  fi
  [ "$try" -lt "$update_tries" ] && sleep "$retry_pause"
done
if [ "$updated" = 0 ]; then
  failed_indexes=$(grep -oE '^E: Failed to fetch [^ ]+' "$log" | sed 's/^E: Failed to fetch //' |
                   sort -u | tr '\n' ' ')
  echo "The package index update failed $update_tries times; going on with the indexes at" \
       "hand. Not fetched: ${failed_indexes:-$(grep -m 1 '^E:' "$log")}"
fi

# With recommends: Wine's fonts and helpers come that way.
if apt install -y -q "${missing_required[@]}" "${missing_optional[@]}" >"$log" 2>&1; then
  exit 0
fi
reason=$(grep -m 1 '^E:' "$log" || echo "apt-get failed")
if [ ${#missing_optional[@]} -gt 0 ] && { [ ${#missing_required[@]} -eq 0 ] ||
     apt install -y -q "${missing_required[@]}" >"$log" 2>&1; }; then
  echo "${missing_optional[*]} cannot be installed now ($reason);" \
       "the tests and the demo use the x86_64 build."
  exit 0
fi

# Which of the required ones will not install, one by one.
cannot=()
for p in "${missing_required[@]}"; do
  apt install -y -q "$p" >"$log" 2>&1 || cannot+=("$p")
done
if [ ${#cannot[@]} -gt 0 ]; then
  echo "Cannot install ${cannot[*]}, which the build and the tests need:" >&2
  grep '^E:' "$log" | head -n 3 >&2
  exit 1
fi
[ ${#missing_optional[@]} -eq 0 ] || apt install -y -q "${missing_optional[@]}" >/dev/null 2>&1 ||
  echo "${missing_optional[*]} cannot be installed now; the tests and the demo use the x86_64 build."
exit 0
