#!/usr/bin/env bash
# Signs both disks' setup.exe as a vendor would, with scripts/sign.sh and a
# throw-away certificate, into <out>/edition0 and <out>/edition1 for the
# banner test; and checks what must hold of a signed file: osslsigncode
# verifies it, and neither sign.sh (without --resign) nor descblock touches it.
#
#   sign_disks.sh <disk root> <out> <descblock> <the six description texts>
set -euo pipefail
disks=$1 out=$2 descblock=$3
shift 3
root=$(cd "$(dirname "$0")/../.." && pwd)
fail() {
  echo "sign_disks: $*" >&2
  exit 1
}

rm -rf "$out"
mkdir -p "$out/edition0" "$out/edition1"
cp "$disks/disk/setup.exe" "$out/edition0/setup.exe"
cp "$disks/disk-edition1/setup.exe" "$out/edition1/setup.exe"

# A vendor's PKCS#12 file with a password, here from the environment.
export SIGN_PASSWORD="throw-away $RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throw-away Test Vendor" \
  -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -out "$out/vendor.p12" \
  -passout env:SIGN_PASSWORD
rm "$out/key.pem"

"$root/scripts/sign.sh" --pkcs12 "$out/vendor.p12" --ca "$out/cert.pem" \
  --description "Test Setup" --url https://example.invalid/ \
  "$out/edition0/setup.exe" "$out/edition1/setup.exe"

for edition in 0 1; do
  setup="$out/edition$edition/setup.exe"
  osslsigncode verify -CAfile "$out/cert.pem" -in "$setup" >"$out/verify.log" 2>&1 ||
    { cat "$out/verify.log"; fail "$setup does not verify"; }
  cp "$setup" "$out/before.exe"
  if "$root/scripts/sign.sh" --pkcs12 "$out/vendor.p12" "$setup" 2>"$out/sign.log"; then
    fail "sign.sh signed $setup again without --resign"
  fi
  grep -q "already signed" "$out/sign.log" || { cat "$out/sign.log"; fail "no reason given"; }
  if "$descblock" append "$setup" "$@" 2>"$out/descblock.log"; then
    fail "descblock appended to the signed $setup"
  fi
  cat "$out/descblock.log"
  grep -q "already signed" "$out/descblock.log" || fail "descblock gave no reason"
  cmp "$out/before.exe" "$setup" || fail "$setup changed"
  echo "edition $edition: signed, verified, left alone ($(stat -c %s "$setup") bytes)"
done
