#!/usr/bin/env bash
# Seals setup.exe (scripts/seal.sh: the list of the files of the disk it lies
# on) and signs it with a vendor's code-signing certificate (Authenticode, by
# osslsigncode), then verifies every signed file; run it after the build and
# once the disk is complete, as the signature covers the description block
# and the seal. Three routes:
#
#   scripts/sign.sh (--pkcs12 FILE | --cert FILE --key FILE) [options] [setup.exe ...]
#   scripts/sign.sh --pkcs11-module FILE --pkcs11-key ID (--cert FILE | --pkcs11-cert ID)
#                   [options] [setup.exe ...]
#   scripts/sign.sh --extract DIR [options] [setup.exe ...], then a signing service
#                   signs each DIR/N/data.der, then scripts/sign.sh --attach DIR [options]
#
#   --password-file FILE  the key's password, first line of FILE; without it
#                         the environment variable SIGN_PASSWORD, if set, is
#                         used; an unencrypted key needs neither
#   --pkcs11-module FILE  the PKCS#11 library of the token, HSM or cloud key
#                         (SoftHSM2: /usr/lib/softhsm/libsofthsm2.so), reached
#                         through OpenSSL's pkcs11 engine (libengine-pkcs11-openssl)
#   --pkcs11-key ID       the private key there: a PKCS#11 URI such as
#                         'pkcs11:token=NAME;object=LABEL', or its hex id
#   --pkcs11-cert ID      the certificate from the token instead of --cert
#   --pin-file FILE       the token's PIN, first line of FILE; without it the
#                         environment variable SIGN_PIN, if set
#   --extract DIR         sign nothing: write what a signing service signs
#                         into DIR (new or empty), one folder per file
#   --attach DIR          put the signatures the service returned into the
#                         files that --extract named
#   --timestamp URL       an RFC 3161 time-stamp server, so that the signature
#                         outlives the certificate (not with --extract)
#   --description TEXT    the name the platform shows for the signed program
#   --url URL             where its publisher tells more
#   --ca FILE             certificates to verify against instead of the system's
#                         (a private or test certificate)
#   --resign              replace the signature of files already signed
#                         (the old one is taken off before the file is sealed)
#   --no-seal             sign setup.exe as it is: no seal is written (a file
#                         not on a disk, or one sealed by scripts/seal.sh
#                         --into); a seal already in it stays
#
# DIR/1, DIR/2, ... hold one file each, in the order given:
#   file                  the path of the setup.exe
#   sha256                its digest at --extract; --attach refuses a changed file
#   data.der              what the service signs: the Authenticode content
#                         (PKCS#7, DER, SHA-256), e.g. osslsigncode sign -in data.der
#   signature.der         what the service returns: its PKCS#7 signature of
#                         data.der (DER or PEM); put it there before --attach
# DIR/description and DIR/url (with --description, --url) are for the service
# to sign in; --attach refuses a signature that lacks them.
#
# Each setup.exe is sealed over the folder it lies in, which must be a disk
# (scripts/seal.sh), into the copy that is signed. --extract seals the files
# in place, as the service signs their bytes; --attach seals nothing.
# Without files: setup.exe of the two disks (build/disk, build/disk-edition1).
# Nothing is replaced unless every file has been sealed, signed and verified.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

die() {
  echo "sign.sh: $*" >&2
  exit 1
}

pkcs12= cert= key= password_file= pkcs11_module= pkcs11_key= pkcs11_cert= pin_file=
extract= attach= timestamp= description= url= ca= resign=0 seal=1
files=()
while [ $# -gt 0 ]; do
  case $1 in
    --pkcs12 | --cert | --key | --password-file | --timestamp | --description | --url | --ca | \
    --pkcs11-module | --pkcs11-key | --pkcs11-cert | --pin-file | --extract | --attach)
      [ $# -ge 2 ] || die "$1 needs a value"
      option=${1#--}
      printf -v "${option//-/_}" '%s' "$2"
      shift 2 ;;
    --resign) resign=1; shift ;;
    --no-seal) seal=0; shift ;;
    --help | -h) sed -n '2,/^set -/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
    -*) die "unknown option $1 (see --help)" ;;
    *) files+=("$1"); shift ;;
  esac
done

command -v osslsigncode >/dev/null ||
  die "osslsigncode is missing (scripts/ensure-packages.sh installs it)"

# The key material, or the folder of a signing service's round trip.
secret_file=$password_file secret_variable=SIGN_PASSWORD
token=$pkcs11_module$pkcs11_key$pkcs11_cert$pin_file
if [ -n "$extract$attach" ]; then
  [ -z "$extract" ] || [ -z "$attach" ] || die "give --extract or --attach, not both"
  [ -z "$pkcs12$cert$key$password_file$token" ] ||
    die "--extract and --attach take no key: the signing service holds it"
  [ -z "$extract" ] || [ -z "$timestamp" ] || die "--attach adds the time stamp, not --extract"
  [ -z "$attach" ] || [ ${#files[@]} -eq 0 ] || die "--attach signs the files that --extract named"
elif [ -n "$pkcs11_module" ]; then
  [ -z "$pkcs12$key$password_file" ] ||
    die "a token's key needs no --pkcs12, --key or --password-file"
  [ -n "$pkcs11_key" ] || die "--pkcs11-module needs --pkcs11-key (see --help)"
  if [ -n "$pkcs11_cert" ]; then
    [ -z "$cert" ] || die "give --cert or --pkcs11-cert, not both"
    credentials=(-pkcs11module "$pkcs11_module" -pkcs11cert "$pkcs11_cert" -key "$pkcs11_key")
  else
    [ -n "$cert" ] || die "the token's key needs --cert FILE or --pkcs11-cert ID"
    credentials=(-pkcs11module "$pkcs11_module" -certs "$cert" -key "$pkcs11_key")
  fi
  secret_file=$pin_file secret_variable=SIGN_PIN
elif [ -n "$token" ]; then
  die "--pkcs11-key, --pkcs11-cert and --pin-file need --pkcs11-module"
elif [ -n "$pkcs12" ]; then
  [ -z "$cert$key" ] || die "give --pkcs12 or --cert and --key, not both"
  credentials=(-pkcs12 "$pkcs12")
elif [ -n "$cert" ] && [ -n "$key" ]; then
  credentials=(-certs "$cert" -key "$key")
else
  die "no certificate: give --pkcs12 FILE, --cert FILE and --key FILE, --pkcs11-module," \
      "--extract or --attach (see --help)"
fi
for f in "$pkcs12" "$cert" "$key" "$password_file" "$pkcs11_module" "$pin_file" "$ca"; do
  [ -z "$f" ] || [ -r "$f" ] || die "cannot read $f"
done

# The password or PIN never goes on a command line, where other users could
# see it: osslsigncode reads it from the file, or from its input, and hands a
# PIN to the pkcs11 engine (a pin-value in the key's URI would be visible).
secret=()
if [ -n "$secret_file" ]; then
  secret=(-readpass "$secret_file")
elif [ -n "${!secret_variable+set}" ]; then
  secret=(-readpass -)
fi
feed_secret() {
  if [ -z "$secret_file" ] && [ -n "${!secret_variable+set}" ]; then
    printf '%s\n' "${!secret_variable}"
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
# Runs osslsigncode; its output goes to stderr only when it fails.
run() {
  "$@" >"$work/log" 2>&1 || { cat "$work/log" >&2; return 1; }
}

# --attach: the files --extract named, each with the signature the service returned.
if [ -n "$attach" ]; then
  [ -d "$attach" ] || die "$attach is not a folder (--extract writes it)"
  folders=()
  for n in $(find "$attach" -mindepth 1 -maxdepth 1 -name '[0-9]*' -printf '%f\n' | sort -n); do
    folder=$attach/$n
    [ -r "$folder/file" ] || die "$folder was not written by --extract"
    [ -r "$folder/signature.der" ] || die "$folder/signature.der (the service's answer) is missing"
    f=$(cat "$folder/file")
    [ "$(sha256sum <"$f" 2>/dev/null)" = "$(cat "$folder/sha256")" ] ||
      die "$f changed or is gone since --extract; extract and sign it again"
    folders+=("$folder")
    files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || die "$attach holds no files (--extract writes them)"
  [ ! -r "$attach/description" ] || description=$(cat "$attach/description")
  [ ! -r "$attach/url" ] || url=$(cat "$attach/url")
fi
[ ${#files[@]} -gt 0 ] || files=("$root"/build/disk{,-edition1}/setup.exe)

# Every file is checked before the first is signed.
for f in "${files[@]}"; do
  [ -f "$f" ] || die "$f does not exist (build first: scripts/build.sh)"
  if [ "$resign" = 0 ] && is_signed "$f"; then
    die "$f is already signed; --resign replaces its signature"
  fi
done

# The file to sign: setup.exe sealed over its disk (without the signature it
# had, with --resign), into $2.
prepare() {
  if [ "$resign" = 1 ] && is_signed "$1"; then
    run osslsigncode remove-signature -in "$1" -out "$2" || die "cannot take the signature off $1"
  else
    cp "$1" "$2"
  fi
  [ "$seal" = 0 ] || [ -n "$attach" ] ||
    "$root/scripts/seal.sh" "$(dirname "$1")" --into "$2" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; die "sealing $1 failed; nothing was replaced"; }
}

if [ -n "$extract" ]; then
  mkdir -p "$extract"
  [ -z "$(ls -A "$extract")" ] || die "$extract is not empty; give a new folder"
  [ -z "$description" ] || printf '%s\n' "$description" >"$extract/description"
  [ -z "$url" ] || printf '%s\n' "$url" >"$extract/url"
  # Every file is sealed before the first is replaced by its sealed copy.
  n=0
  for f in "${files[@]}"; do
    n=$((n + 1))
    prepare "$f" "$work/$n.in.exe"
  done
  n=0
  for f in "${files[@]}"; do
    n=$((n + 1))
    mkdir "$extract/$n"
    cp "$work/$n.in.exe" "$f"
    realpath "$f" >"$extract/$n/file"
    sha256sum <"$f" >"$extract/$n/sha256"
    run osslsigncode extract-data -h sha256 -in "$f" -out "$extract/$n/data.der" ||
      die "extracting the data of $f failed"
    echo "to sign: $extract/$n/data.der (of $f)"
  done
  exit 0
fi

# Each file is signed into a copy and verified; the copies replace the files
# only when all are.
n=0
for f in "${files[@]}"; do
  n=$((n + 1))
  signed="$work/$n.exe" input="$work/$n.in.exe"
  prepare "$f" "$input"
  if [ -n "$attach" ]; then
    # attach-signature verifies too, against the system's certificates unless --ca.
    run osslsigncode attach-signature -h sha256 "${verify_extras[@]}" \
      -sigin "${folders[n - 1]}/signature.der" -in "$input" -out "$signed.attached" ||
      die "attaching ${folders[n - 1]}/signature.der to $f failed; nothing was replaced"
    if [ -n "$timestamp" ]; then
      run osslsigncode add -h sha256 -ts "$timestamp" -in "$signed.attached" -out "$signed" ||
        die "time-stamping $f failed; nothing was replaced"
    else
      mv "$signed.attached" "$signed"
    fi
  elif ! feed_secret | run osslsigncode sign "${credentials[@]}" "${secret[@]}" "${extras[@]}" \
         -in "$input" -out "$signed"; then
    die "signing $f failed; nothing was replaced"
  fi
  run osslsigncode verify "${verify_extras[@]}" -in "$signed" ||
    die "the signature of $f does not verify; nothing was replaced"
  for shown in "Text description: $description" "URL description: $url"; do
    [ -z "${shown#*: }" ] || grep -qxF $'\t'"$shown" "$work/log" ||
      die "the signature of $f lacks \"$shown\"; nothing was replaced"
  done
done
n=0
for f in "${files[@]}"; do
  n=$((n + 1))
  cp "$work/$n.exe" "$f"
  echo "signed and verified: $f ($(stat -c %s "$f") bytes)"
done
