#!/usr/bin/env bash
# Signs files (Tessaly.dll, the MSIs) in place with osslsigncode (Authenticode, SHA-256):
#   scripts/sign.sh <file>...
# The certificate comes from the environment: TESSALY_SIGN_CERT names a PKCS#12 file (.pfx, .p12)
# and TESSALY_SIGN_PASSWORD holds its password; TESSALY_SIGN_TIMESTAMP, when set, is the URL of a
# time-stamping server, so the signatures outlive the certificate. Without a certificate nothing
# is signed. The password reaches osslsigncode through a private file, never its command line.
set -euo pipefail
if [ -z "${TESSALY_SIGN_CERT:-}" ]; then
  echo "sign: no certificate (TESSALY_SIGN_CERT), left unsigned: $*"
  exit 0
fi
[ -r "$TESSALY_SIGN_CERT" ] || { echo "sign: cannot read the certificate $TESSALY_SIGN_CERT" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(umask 077; printf '%s' "${TESSALY_SIGN_PASSWORD:-}" > "$work/password")
timestamp=()
[ -n "${TESSALY_SIGN_TIMESTAMP:-}" ] && timestamp=(-ts "$TESSALY_SIGN_TIMESTAMP")
for f in "$@"; do
  osslsigncode sign -pkcs12 "$TESSALY_SIGN_CERT" -readpass "$work/password" -h sha256 \
    -n "Tessaly" -i "https://brenmoor.example/tessaly/" "${timestamp[@]}" \
    -in "$f" -out "$work/signed" >/dev/null
  # In place: the signed copy replaces the file only once it is whole.
  cat "$work/signed" > "$f"
  rm -f "$work/signed"
  echo "sign: signed $f"
done
