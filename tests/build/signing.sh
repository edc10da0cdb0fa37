# Signs the installer with a throwaway certificate made here, and verifies the signature
# against that certificate; a copy with one byte changed after signing must fail.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Termika test signer" \
  -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
bash "$ROOT/scripts/sign.sh" "$work/cert.pem" "$work/key.pem" "$ROOT/build/TermikaSetUp.exe" "$work/signed.exe"
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed.exe" >"$work/verify.txt" 2>&1 \
  || { cat "$work/verify.txt"; echo "FAIL: the signature does not verify"; exit 1; }
grep -q "Signature verification: ok" "$work/verify.txt" || { cat "$work/verify.txt"; exit 1; }
# Change one byte of the code: the signature must no longer match.
cp "$work/signed.exe" "$work/tampered.exe"
printf '\x90' | dd of="$work/tampered.exe" bs=1 seek=1100 conv=notrunc status=none
if osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.exe" >"$work/verify2.txt" 2>&1 \
   && grep -q "Signature verification: ok" "$work/verify2.txt"; then
  echo "FAIL: a changed file still verifies"
  exit 1
fi
echo "signing: ok"
