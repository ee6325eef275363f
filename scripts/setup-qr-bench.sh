#!/bin/bash
# Installs the Debian packages the QR corpus generator and the peer decoders of the benchmark need
# (bench/qr/run.sh). Safe to run again: apt skips what is installed.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
pkgs=(qrencode python3-pil python3-numpy zxing-cpp-tools python3-zxing-cpp zbar-tools python3-zbar fonts-dejavu-core)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
$SUDO apt-get update -q || true
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q -o DPkg::Lock::Timeout=600 --no-install-recommends "${missing[@]}"
