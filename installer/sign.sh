#!/usr/bin/env bash
# Signs one Windows program in place: Authenticode, SHA-256, with a time
# stamp when a time-stamp server is named. Run by the build for NUV_Talv.exe
# and by makensis for the uninstaller and the setup.
#   NUV_SIGN_PFX=cert.pfx NUV_SIGN_PASSWORD=... [NUV_SIGN_TIMESTAMP=url] sign.sh program.exe
# The password goes to osslsigncode through a pipe, never on a command line
# that other processes can read.
set -eu
file="${1:?usage: sign.sh <program.exe>}"
args=(sign -pkcs12 "${NUV_SIGN_PFX:?no certificate}" -h sha256
      -n "QUARVEL 241-7730 GAMING MOUSE" -i "https://www.quarvel.example/")
if [ -n "${NUV_SIGN_TIMESTAMP:-}" ]; then args+=(-ts "$NUV_SIGN_TIMESTAMP"); fi
rm -f "$file.signed"
osslsigncode "${args[@]}" -readpass <(printf '%s' "${NUV_SIGN_PASSWORD:-}") \
  -in "$file" -out "$file.signed" >/dev/null
mv -f "$file.signed" "$file"
