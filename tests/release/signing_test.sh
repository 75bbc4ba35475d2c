#!/usr/bin/env bash
# Signing the shipped program, with a throwaway self-signed code-signing certificate made here:
# the signature verifies against it, names the program and its site, and breaks with one
# changed byte; a wrong or missing password, or a missing certificate, stops with a message
# naming it and leaves no unsigned program behind.
#
#   signing_test.sh SOURCE_DIR PROGRAM.exe
set -euo pipefail

source_dir="$1"
program="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
readonly password="a pass 'word' with \"quotes\" & \$signs"
readonly site="https://www.vellomarch.example/"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Moravent test signing" \
  -addext "keyUsage=digitalSignature" -addext "extendedKeyUsage=codeSigning" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/cert.pfx" \
  -passout "pass:$password"

# sign [ENV...]: signs a fresh copy of the program as the build does; its output in $work/sign.log.
sign() {
  cp "$program" "$work/program.exe"
  env "$@" cmake -DPROGRAM="$work/program.exe" -DTOOL="$(command -v osslsigncode)" \
    -DCERT="$work/cert.pfx" "-DDESCRIPTION=Vellomarch downloader" -DURL="$site" \
    -P "$source_dir/cmake/sign_program.cmake" >"$work/sign.log" 2>&1
}

verify() { osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1; }

sign MORAVENT_SIGNING_PASSWORD="$password" || fail "signing failed: $(cat "$work/sign.log")"
verify "$work/program.exe" || fail "the signed program does not verify: $(cat "$work/verify.log")"
for shown in "Message digest algorithm  : SHA256" "Text description: Vellomarch downloader" \
  "URL description: $site"; do
  grep -qF "$shown" "$work/verify.log" || fail "the signature lacks '$shown'"
done
python3 - "$work/program.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], "rb").read())
data[len(data) // 3] ^= 0x01
open(sys.argv[1], "wb").write(data)
PY
! verify "$work/program.exe" || fail "a changed byte still verifies"

# flat LOG: the log on one line, as CMake folds its messages.
flat() { tr -s ' \n' '  ' <"$1"; }

# Each refusal: the environment, and what the message must name.
while IFS='|' read -r environment named; do
  # shellcheck disable=SC2086 # the environment words are split on purpose
  ! sign $environment || fail "signed with '$environment'"
  grep -qF "$named" <<<"$(flat "$work/sign.log")" ||
    fail "'$environment': no '$named' in: $(cat "$work/sign.log")"
  [[ ! -e "$work/program.exe" ]] || fail "'$environment' left the unsigned program"
done <<ROWS
MORAVENT_SIGNING_PASSWORD=wrong|MORAVENT_SIGNING_PASSWORD does not open the signing certificate $work/cert.pfx
-u MORAVENT_SIGNING_PASSWORD|MORAVENT_SIGNING_PASSWORD is not set
ROWS

# The release build: a missing certificate stops the configure; a present one signs the program
# the build links, and nothing else.
configure() {
  cmake -S "$source_dir" --preset mingw-release -B "$work/release" "$@" >"$work/configure.log" 2>&1
}
! configure -DMORAVENT_SIGNING_CERT="$work/missing.pfx" || fail "configured with a missing certificate"
grep -qF "MORAVENT_SIGNING_CERT names no file: '$work/missing.pfx'" <<<"$(flat "$work/configure.log")" ||
  fail "no message naming the missing certificate: $(cat "$work/configure.log")"
configure -DMORAVENT_SIGNING_CERT="$work/cert.pfx" || fail "configure failed: $(cat "$work/configure.log")"
commands="$(ninja -C "$work/release" -t commands MoraventDL_Vellomarch)"
grep -q "sign_program.cmake" <<<"$(grep 'MoraventDL_Vellomarch\.exe' <<<"$commands" | tail -n 1)" ||
  fail "the release build does not sign the program it links"
echo "signing: ok"
