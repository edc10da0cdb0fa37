#!/usr/bin/env bash
# Signs the installer with Authenticode.
#   scripts/sign.sh CERT.pem KEY.pem [EXE] [OUT]
# CERT is the code-signing certificate (PEM, with its chain if any), KEY its private key.
# EXE defaults to build/TermikaSetUp.exe, OUT to build/TermikaSetUp-signed.exe. Set
# TIMESTAMP_URL to have the signature time-stamped by that server.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cert=${1:?usage: sign.sh CERT.pem KEY.pem [EXE] [OUT]}
key=${2:?usage: sign.sh CERT.pem KEY.pem [EXE] [OUT]}
exe=${3:-$root/build/TermikaSetUp.exe}
out=${4:-$root/build/TermikaSetUp-signed.exe}
command -v osslsigncode >/dev/null || { echo "osslsigncode is missing: apt-get install osslsigncode" >&2; exit 1; }
args=(sign -certs "$cert" -key "$key" -h sha256 -n "TermikaSetUp" -in "$exe" -out "$out")
[ -n "${TIMESTAMP_URL:-}" ] && args+=(-ts "$TIMESTAMP_URL")
rm -f "$out"
osslsigncode "${args[@]}"
echo "signed: $out"
