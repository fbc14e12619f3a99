#!/usr/bin/env bash
# A package prepared with --sign-prep and then signed for real with
# osslsigncode is still found by the stub under Wine; the same package
# signed without the preparation is not (the control).
# Usage: signed_setup_test.sh KVPACK STUB.exe
set -euo pipefail
KVPACK="$1"
STUB="$2"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

fail() { echo "FAIL: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Kavrix Test Signing" >/dev/null 2>&1
echo "product file" > readme.txt

sign() {  # in out
  osslsigncode sign -certs cert.pem -key key.pem -n "Kavrix test setup" -in "$1" -out "$2" >/dev/null
  osslsigncode verify -CAfile cert.pem -in "$2" >/dev/null || fail "signature of $2 does not verify"
}

# An agent package whose run log appears only when its trailer was read.
build() {  # out extra-options...
  local out="$1"; shift
  "$KVPACK" --stub "$STUB" --out "$out" --auto-update-program --agent-log \
    --agent-exe Agent.exe "$@" readme.txt >/dev/null
}

mkdir prepared plain
build prepared/unsigned.exe --sign-prep
sign prepared/unsigned.exe prepared/X_Agent.exe
build plain/unsigned.exe
sign plain/unsigned.exe plain/X_Agent.exe

size_unsigned=$(stat -c %s prepared/unsigned.exe)
size_signed=$(stat -c %s prepared/X_Agent.exe)
[ "$size_signed" -gt "$size_unsigned" ] || fail "signature added nothing"
"$KVPACK" --info prepared/X_Agent.exe | grep -qx "signed package end: $size_unsigned" \
  || fail "signed package end is not the prepared length"
"$KVPACK" --info prepared/X_Agent.exe | grep -qx "auto-update program: yes" || fail "flags lost"

(cd prepared && timeout 120 wine X_Agent.exe /signed) || fail "prepared stub did not run"
(cd plain && timeout 120 wine X_Agent.exe /signed) || fail "plain stub did not run"
[ -f prepared/X_Agent.log ] || fail "the prepared, signed stub did not find its package"
grep -q "CommandLine=.*/signed" prepared/X_Agent.log || fail "run log incomplete"
[ ! -f plain/X_Agent.log ] || fail "a stub signed without preparation still found its package"
echo "signed setup: package found through the signature ($size_unsigned of $size_signed bytes)"
