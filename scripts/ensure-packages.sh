#!/usr/bin/env bash
# Installs what the build, the tests and the demo need and is not there yet
# (Debian 12, as root or through sudo). Quiet when everything is present.
#
# Mirrors are at times half-synced for hours: one index fails to download and
# a package that needs it cannot be installed. The update is then tried a few
# times and the run goes on with the indexes at hand; wine32:i386 is the one
# package the project can do without (the tests and the demo then use the
# x86_64 build), so its absence is one line, not a stop. Such a refusal is
# remembered for an hour, so that every run in that hour does not wait for the
# same mirror again.
set -uo pipefail

# wine32 runs the shipped 32-bit setup.exe and its tests where the kernel can
# run 32-bit programs; the x86_64 build and wine64 are tested everywhere.
# osslsigncode and openssl sign setup.exe; the signing test makes a SoftHSM2
# token (softhsm2), fills it with pkcs11-tool (opensc) and signs through it
# with the PKCS#11 engine, which osslsigncode 2.9 loads (it has no provider
# option). Ninja builds the trees (CMakePresets.json). GoogleTest: its sources
# for the Windows trees, its built library for the native one.
required=(cmake ninja-build make g++ python3 googletest libgtest-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64
          wine wine64 xvfb xauth x11-utils imagemagick clang libclang-rt-14-dev
          osslsigncode openssl softhsm2 opensc libengine-pkcs11-openssl locales)
optional=(wine32:i386)
update_tries=${APT_UPDATE_TRIES:-3}
retry_pause=${APT_RETRY_PAUSE:-5}
remember_minutes=${OPTIONAL_RETRY_MINUTES:-60}
refusals=${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/kellum-setup

# "hold ok installed" is installed too.
installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = installed ]
}

missing_of() {
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

say_optional_refused() {
  echo "$1 cannot be installed now ($2); the tests and the demo use the x86_64 build."
}

# The refusal of an optional package in the last hour, told as the reason it had.
recent_refusal() {
  local stamp=$refusals/${1//:/-}.refused next
  [ -n "$(find "$stamp" -mmin -"$remember_minutes" 2>/dev/null)" ] || return 1
  next=$(date -d "@$(($(stat -c %Y "$stamp") + remember_minutes * 60))" +%H:%M)
  echo "$(cat "$stamp"); tried at $(date -r "$stamp" +%H:%M), next at $next"
}

refuse_optional() {
  local p
  # Remembering is a convenience: a cache folder that cannot be written is passed over.
  for p in "${missing_optional[@]}"; do
    { mkdir -p "$refusals" && echo "$1" >"$refusals/${p//:/-}.refused"; } 2>/dev/null
  done
  say_optional_refused "${missing_optional[*]}" "$1"
}

mapfile -t missing_required < <(missing_of "${required[@]}")
missing_optional=()
for p in $(missing_of "${optional[@]}"); do
  if refusal=$(recent_refusal "$p"); then
    say_optional_refused "$p" "$refusal"
  else
    missing_optional+=("$p")
  fi
done
[ ${#missing_required[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && exit 0

wanted=("${missing_required[@]}" "${missing_optional[@]}")
echo "Installing: ${wanted[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Installing packages needs root, and there is no sudo: run this as root." >&2
    exit 1
  fi
  sudo_cmd=(sudo)
fi
# sudo passes no environment on; another apt-get of a neighbour holds the lock a while.
apt_get() {
  "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 "$@"
}

if [ ${#missing_optional[@]} -gt 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi

# apt-get's own reason: its first error line, else the last line it wrote.
failure_of() {
  grep -m 1 '^E:' "$1" || tail -n 1 "$1"
}

# The update, a few times; then on with whatever indexes it fetched.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
updated=0
for try in $(seq 1 "$update_tries"); do
  if apt_get update -q >"$log" 2>&1; then
    updated=1
    break
  fi
  [ "$try" -lt "$update_tries" ] && sleep "$retry_pause"
done
if [ "$updated" = 0 ]; then
  failed_indexes=$(grep -oE '^[EW]: Failed to fetch [^ ]+' "$log" | sed 's/^.: Failed to fetch //' |
                   sort -u | tr '\n' ' ')
  echo "The package index update failed $update_tries times; going on with the indexes at" \
       "hand. Not fetched: ${failed_indexes:-$(failure_of "$log")}"
fi

# With recommends: Wine's fonts and helpers come that way.
if apt_get install -y -q "${missing_required[@]}" "${missing_optional[@]}" >"$log" 2>&1; then
  exit 0
fi
reason=$(failure_of "$log")
if [ ${#missing_optional[@]} -gt 0 ] && { [ ${#missing_required[@]} -eq 0 ] ||
     apt_get install -y -q "${missing_required[@]}" >"$log" 2>&1; }; then
  refuse_optional "$reason"
  exit 0
fi

# Which of the required ones will not install, one by one.
cannot=()
for p in "${missing_required[@]}"; do
  apt_get install -y -q "$p" >"$log" 2>&1 || cannot+=("$p")
done
if [ ${#cannot[@]} -gt 0 ]; then
  echo "Cannot install ${cannot[*]}, which the build and the tests need:" >&2
  grep '^E:' "$log" | head -n 3 >&2 || tail -n 3 "$log" >&2
  exit 1
fi
[ ${#missing_optional[@]} -eq 0 ] || apt_get install -y -q "${missing_optional[@]}" >"$log" 2>&1 ||
  refuse_optional "$(failure_of "$log")"
exit 0
