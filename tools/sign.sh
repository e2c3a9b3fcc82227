#!/usr/bin/env bash
# Authenticode (SHA-256) signing of the programs and libraries a package ships, with osslsigncode.
# The certificate and its key come from MORVANE_SIGN_PFX (a .pfx/.p12 file) and
# MORVANE_SIGN_PASSWORD; MORVANE_SIGN_TIMESTAMP, when set, is a timestamp server's URL.
#   sign.sh enabled        exit 0 when both variables are set (signing wanted), 1 otherwise
#   sign.sh check          stops with a message unless the certificate and key can be read
#   sign.sh FILE...        signs each file in place (a file is replaced only once it is signed)
set -euo pipefail

enabled() { [ -n "${MORVANE_SIGN_PFX:-}" ] && [ -n "${MORVANE_SIGN_PASSWORD:-}" ]; }

fail() { echo "sign: $*" >&2; exit 1; }

# The password goes through a file readable by us alone: on a command line every user sees it.
with_password_file() {
  local pass rc=0
  pass=$(mktemp)
  chmod 600 "$pass"
  printf '%s' "$MORVANE_SIGN_PASSWORD" >"$pass"
  "$@" "$pass" || rc=$?
  rm -f "$pass"
  return $rc
}

read_pfx() {  # password file
  local pass=$1 err
  # NOTE: OpenSSL 3 reads the RC2/3DES-protected files that older tools (Windows among them)
  # write only through its legacy provider.
  err=$(openssl pkcs12 -in "$MORVANE_SIGN_PFX" -passin "file:$pass" -noout 2>&1) ||
    err=$(openssl pkcs12 -legacy -in "$MORVANE_SIGN_PFX" -passin "file:$pass" -noout 2>&1) ||
    fail "cannot read the certificate $MORVANE_SIGN_PFX (wrong password, or not a .pfx/.p12 file): $(echo "$err" | head -n 1)"
  openssl pkcs12 -in "$MORVANE_SIGN_PFX" -passin "file:$pass" -nokeys -clcerts 2>/dev/null |
    grep -q 'BEGIN CERTIFICATE' ||
    openssl pkcs12 -legacy -in "$MORVANE_SIGN_PFX" -passin "file:$pass" -nokeys -clcerts \
      2>/dev/null | grep -q 'BEGIN CERTIFICATE' ||
    fail "$MORVANE_SIGN_PFX holds no certificate"
  openssl pkcs12 -in "$MORVANE_SIGN_PFX" -passin "file:$pass" -nocerts -nodes 2>/dev/null |
    grep -q 'PRIVATE KEY' ||
    openssl pkcs12 -legacy -in "$MORVANE_SIGN_PFX" -passin "file:$pass" -nocerts -nodes \
      2>/dev/null | grep -q 'PRIVATE KEY' ||
    fail "$MORVANE_SIGN_PFX holds no private key"
}

check() {
  enabled || fail "MORVANE_SIGN_PFX and MORVANE_SIGN_PASSWORD must both be set"
  [ -r "$MORVANE_SIGN_PFX" ] || fail "cannot read $MORVANE_SIGN_PFX"
  command -v osslsigncode >/dev/null || fail "osslsigncode is not installed (tools/setup.sh)"
  with_password_file read_pfx
}

sign_one() {  # file, password file
  local file=$1 pass=$2 signed=$1.signing log
  local stamp=()
  [ -z "${MORVANE_SIGN_TIMESTAMP:-}" ] || stamp=(-ts "$MORVANE_SIGN_TIMESTAMP")
  rm -f "$signed"
  if ! log=$(osslsigncode sign -pkcs12 "$MORVANE_SIGN_PFX" -readpass "$pass" -h sha256 \
      -n "Glimmerbox" "${stamp[@]}" -in "$file" -out "$signed" 2>&1); then
    rm -f "$signed"
    fail "could not sign $file: $log"
  fi
  mv -f "$signed" "$file"
}

case ${1:-} in
  enabled) enabled ;;
  check) check ;;
  "") echo "usage: $0 enabled|check|FILE..." >&2; exit 2 ;;
  *)
    enabled || fail "MORVANE_SIGN_PFX and MORVANE_SIGN_PASSWORD must both be set"
    for f in "$@"; do
      with_password_file sign_one "$f"
    done
    ;;
esac
