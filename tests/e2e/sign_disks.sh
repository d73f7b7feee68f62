#!/usr/bin/env bash
# Signs both disks' setup.exe as a vendor would, with scripts/sign.sh and
# throw-away keys, by each route into <out>/<route>/edition0 and edition1 for
# the banner test: pkcs12 (a PKCS#12 file), pkcs11 (a key made on a SoftHSM2
# token), detached (a signing service's round trip, the token's key standing
# in for the service's), each unsealed (--no-seal); and sealed, whole disks
# sealed and signed by sign.sh (the PKCS#12 file) for the banner and sealed
# install tests. Checks what must hold of a signed file: osslsigncode verifies
# it, and neither sign.sh (without --resign) nor descblock nor the seal step
# touches it; that --resign seals the disk anew; and that a wrong PIN, a
# missing key and a tampered signature change nothing.
#
#   sign_disks.sh <disk root> <out> <descblock> <the six description texts>
set -euo pipefail
disks=$1 out=$2 descblock=$3
shift 3
root=$(cd "$(dirname "$0")/../.." && pwd)
sign=$root/scripts/sign.sh
fail() {
  echo "sign_disks: $*" >&2
  exit 1
}

rm -rf "$out"
mkdir -p "$out/sealed"
cp -r "$disks/disk" "$out/sealed/edition0"
cp -r "$disks/disk-edition1" "$out/sealed/edition1"
for route in pkcs12 pkcs11 detached failing; do
  mkdir -p "$out/$route/edition0" "$out/$route/edition1"
  cp "$disks/disk/setup.exe" "$out/$route/edition0/setup.exe"
  cp "$disks/disk-edition1/setup.exe" "$out/$route/edition1/setup.exe"
done
texts=(--no-seal --description "Test Setup" --url https://example.invalid/)

# A vendor's PKCS#12 file with a password, here from the environment.
export SIGN_PASSWORD="throw-away $RANDOM"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Throw-away Test Vendor" \
  -keyout "$out/key.pem" -out "$out/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$out/key.pem" -in "$out/cert.pem" -out "$out/vendor.p12" \
  -passout env:SIGN_PASSWORD
rm "$out/key.pem"
"$sign" --pkcs12 "$out/vendor.p12" --ca "$out/cert.pem" "${texts[@]}" \
  "$out"/pkcs12/edition{0,1}/setup.exe
# Sealed: each setup.exe over the disk it lies on, then signed.
"$sign" --pkcs12 "$out/vendor.p12" --ca "$out/cert.pem" "${texts[@]:1}" \
  "$out"/sealed/edition{0,1}/setup.exe
seal_tool=$root/build/native/tools/seal
for edition in 0 1; do
  listed=$("$seal_tool" list "$out/sealed/edition$edition/setup.exe" | wc -l)
  on_disk=$(find "$out/sealed/edition$edition" -type f ! -name setup.exe | wc -l)
  [ "$listed" = "$on_disk" ] || fail "the seal of edition $edition lists $listed of $on_disk files"
done

# A vendor's token: SoftHSM2 with a store of its own, a key pair made on the
# token, its self-signed certificate kept there too.
export SOFTHSM2_CONF=$out/softhsm2.conf
module=/usr/lib/softhsm/libsofthsm2.so pin="pin-$RANDOM" key="pkcs11:token=vendor;object=signing"
mkdir "$out/tokens"
echo "directories.tokendir = $out/tokens" >"$SOFTHSM2_CONF"
echo "$pin" >"$out/pin"
softhsm2-util --init-token --free --label vendor --so-pin "so-$RANDOM" --pin "$pin" >/dev/null
on_token=(pkcs11-tool --module "$module" --token-label vendor --login --pin "$pin" --id 01
          --label signing)
"${on_token[@]}" --keypairgen --key-type rsa:2048 >/dev/null
PKCS11_MODULE_PATH=$module openssl req -x509 -new -engine pkcs11 -keyform engine \
  -key "$key;type=private" -passin "file:$out/pin" -subj "/CN=Throw-away Token Vendor" -days 2 \
  -out "$out/token.pem"
openssl x509 -in "$out/token.pem" -outform DER -out "$out/token.der"
"${on_token[@]}" --write-object "$out/token.der" --type cert >/dev/null
cat "$out/cert.pem" "$out/token.pem" >"$out/ca.pem"
token=(--pkcs11-module "$module" --pkcs11-key "$key" --ca "$out/ca.pem" "${texts[@]}")

# The certificate from a file and the PIN from the environment; both from the token.
SIGN_PIN=$pin "$sign" "${token[@]}" --cert "$out/token.pem" "$out/pkcs11/edition0/setup.exe"
"$sign" "${token[@]}" --pkcs11-cert "$key" --pin-file "$out/pin" "$out/pkcs11/edition1/setup.exe"

# The stand-in service signs each request in folder $1 as asked.
serve() {
  for request in "$1"/[0-9]*; do
    osslsigncode sign -pkcs11module "$module" -key "$key" -certs "$out/token.pem" \
      -readpass "$out/pin" -n "$(cat "$1/description")" -i "$(cat "$1/url")" \
      -in "$request/data.der" -out "$request/signature.der" >/dev/null
  done
}
"$sign" --extract "$out/requests" "${texts[@]}" "$out"/detached/edition{0,1}/setup.exe
serve "$out/requests"
"$sign" --attach "$out/requests" --ca "$out/ca.pem"

for setup in "$out"/{pkcs12,pkcs11,detached,sealed}/edition{0,1}/setup.exe; do
  osslsigncode verify -CAfile "$out/ca.pem" -in "$setup" >"$out/verify.log" 2>&1 ||
    { cat "$out/verify.log"; fail "$setup does not verify"; }
  cp "$setup" "$out/before.exe"
  if "$sign" --pkcs12 "$out/vendor.p12" "$setup" 2>"$out/sign.log"; then
    fail "sign.sh signed $setup again without --resign"
  fi
  grep -q "already signed" "$out/sign.log" || { cat "$out/sign.log"; fail "no reason given"; }
  if "$descblock" append "$setup" "$@" 2>"$out/descblock.log"; then
    fail "descblock appended to the signed $setup"
  fi
  cat "$out/descblock.log"
  grep -q "already signed" "$out/descblock.log" || fail "descblock gave no reason"
  if "$root/scripts/seal.sh" "$(dirname "$setup")" 2>"$out/seal.log"; then
    fail "the seal step sealed the signed $setup"
  fi
  grep -q "already signed" "$out/seal.log" || { cat "$out/seal.log"; fail "no reason to refuse"; }
  cmp "$out/before.exe" "$setup" || fail "$setup changed"
  echo "$setup: signed, verified, left alone ($(stat -c %s "$setup") bytes)"
done

# A file added to a sealed disk: --resign takes the signature off, seals the
# disk anew (the file listed) and signs again.
resealed=$out/resealed
cp -r "$out/sealed/edition0" "$resealed"
echo "added" >"$resealed/added.txt"
"$sign" --resign --pkcs12 "$out/vendor.p12" --ca "$out/cert.pem" "$resealed/setup.exe" >/dev/null
"$seal_tool" list "$resealed/setup.exe" | grep -q ' added.txt$' || fail "--resign did not seal anew"
osslsigncode verify -CAfile "$out/ca.pem" -in "$resealed/setup.exe" >/dev/null 2>&1 ||
  fail "the resealed setup.exe does not verify"
rm -rf "$resealed"

# Each way to fail and the reason it must give. Only the second file's
# signature is tampered with: the first, good one must stay unsigned too.
failing=("$out"/failing/edition{0,1}/setup.exe)
attempt() {
  case $1 in
    "wrong PIN") SIGN_PIN=$pin-x "$sign" "${token[@]}" --cert "$out/token.pem" "${failing[@]}" ;;
    "missing key") SIGN_PIN=$pin "$sign" "${token[@]}" --pkcs11-key "$key-x" \
                     --cert "$out/token.pem" "${failing[@]}" ;;
    "tampered signature")
      "$sign" --extract "$out/tampered" "${texts[@]}" "${failing[@]}" >/dev/null
      serve "$out/tampered"
      local signature=$out/tampered/2/signature.der last  # ends in the signature value
      last=$(tail -c 1 "$signature" | od -An -tu1)
      printf '%b' "\\0$(printf %o $((last ^ 1)))" |
        dd of="$signature" bs=1 seek=$(($(stat -c %s "$signature") - 1)) conv=notrunc status=none
      "$sign" --attach "$out/tampered" --ca "$out/ca.pem" ;;
  esac
}
for case in "wrong PIN:PIN incorrect" "missing key:object not found" \
            "tampered signature:Signature verification: failed"; do
  name=${case%%:*} reason=${case#*:}
  if attempt "$name" >/dev/null 2>"$out/fail.log"; then fail "$name: sign.sh succeeded"; fi
  grep -qF "$reason" "$out/fail.log" || { cat "$out/fail.log"; fail "$name: no \"$reason\""; }
  cmp "$disks/disk/setup.exe" "${failing[0]}" || fail "$name: ${failing[0]} changed"
  cmp "$disks/disk-edition1/setup.exe" "${failing[1]}" || fail "$name: ${failing[1]} changed"
  echo "$name: refused, nothing changed"
done
