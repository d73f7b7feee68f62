#!/usr/bin/env bash
# Signs setup.exe with a vendor's code-signing certificate (Authenticode, by
# osslsigncode) and verifies every signed file; run it after the build, as the
# build's description block must already be in place.
#
#   scripts/sign.sh (--pkcs12 FILE | --cert FILE --key FILE) [options] [setup.exe ...]
#
#   --password-file FILE  the key's password, first line of FILE; without it
#                         the environment variable SIGN_PASSWORD, if set, is
#                         used; an unencrypted key needs neither
#   --timestamp URL       an RFC 3161 time-stamp server, so that the signature
#                         outlives the certificate
#   --description TEXT    the name the platform shows for the signed program
#   --url URL             where its publisher tells more
#   --ca FILE             certificates to verify against instead of the system's
#                         (a private or test certificate)
#   --resign              replace the signature of files already signed
#
# Without files: setup.exe of both editions (build/win/edition0,
# build/win/edition1) and of the two disks (build/disk, build/disk-edition1).
# Nothing is signed unless every file can be; a file is replaced only by a
# copy whose signature has been verified.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "sign.sh: $*" >&2
  exit 1
}

pkcs12= cert= key= password_file= timestamp= description= url= ca= resign=0
files=()
while [ $# -gt 0 ]; do
  case $1 in
    --pkcs12 | --cert | --key | --password-file | --timestamp | --description | --url | --ca)
      [ $# -ge 2 ] || die "$1 needs a value"
      option=${1#--}
      printf -v "${option//-/_}" '%s' "$2"
      shift 2 ;;
    --resign) resign=1; shift ;;
    --help | -h) sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) die "unknown option $1 (see --help)" ;;
    *) files+=("$1"); shift ;;
  esac
done
[ ${#files[@]} -gt 0 ] || files=("$root"/build/win/edition{0,1}/setup.exe
                                 "$root"/build/disk{,-edition1}/setup.exe)

command -v osslsigncode >/dev/null ||
  die "osslsigncode is missing (scripts/ensure-packages.sh installs it)"

# The key material: a PKCS#12 file, or a certificate (chain) and its key.
if [ -n "$pkcs12" ]; then
  [ -z "$cert$key" ] || die "give --pkcs12 or --cert and --key, not both"
  credentials=(-pkcs12 "$pkcs12")
elif [ -n "$cert" ] && [ -n "$key" ]; then
  credentials=(-certs "$cert" -key "$key")
else
  die "no certificate: give --pkcs12 FILE, or --cert FILE and --key FILE (see --help)"
fi
for f in "$pkcs12" "$cert" "$key" "$password_file" "$ca"; do
  [ -z "$f" ] || [ -r "$f" ] || die "cannot read $f"
done

# The password never goes on a command line, where other users could see it:
# osslsigncode reads it from the file, or from its input.
password=()
if [ -n "$password_file" ]; then
  password=(-readpass "$password_file")
elif [ -n "${SIGN_PASSWORD+set}" ]; then
  password=(-readpass -)
fi
feed_password() {
  if [ -z "$password_file" ] && [ -n "${SIGN_PASSWORD+set}" ]; then
    printf '%s\n' "$SIGN_PASSWORD"
  fi
}

extras=(-h sha256)
[ -z "$timestamp" ] || extras+=(-ts "$timestamp")
[ -z "$description" ] || extras+=(-n "$description")
[ -z "$url" ] || extras+=(-i "$url")
verify_extras=()
[ -z "$ca" ] || verify_extras+=(-CAfile "$ca")

work=$(mktemp -d "${TMPDIR:-/tmp}/sign.XXXXXX")
trap 'rm -rf "$work"' EXIT
is_signed() {
  rm -f "$work/signature"
  osslsigncode extract-signature -in "$1" -out "$work/signature" >/dev/null 2>&1
}

# Every file is checked before the first is signed.
for f in "${files[@]}"; do
  [ -f "$f" ] || die "$f does not exist (build first: scripts/build.sh)"
  if [ "$resign" = 0 ] && is_signed "$f"; then
    die "$f is already signed; --resign replaces its signature"
  fi
done

for f in "${files[@]}"; do
  signed="$work/setup.exe"
  rm -f "$signed"
  if ! feed_password | osslsigncode sign "${credentials[@]}" "${password[@]}" "${extras[@]}" \
         -in "$f" -out "$signed" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    die "signing $f failed"
  fi
  if ! osslsigncode verify "${verify_extras[@]}" -in "$signed" >"$work/log" 2>&1; then
    cat "$work/log" >&2
    die "the signature of $f does not verify; $f is left as it was"
  fi
  cp "$signed" "$f"
  echo "signed and verified: $f ($(stat -c %s "$f") bytes)"
done
