#!/bin/bash
# Installs everything a fresh Debian bookworm (amd64) machine needs to build vantaro Tools natively and for
# 32-bit Windows, and to run it and its tests under Wine with Xvfb. Safe to run again: it skips what is there.
set -euo pipefail
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
stamp=/var/lib/vantaro-tools-setup.v1
if [ -f "$stamp" ] && command -v wine >/dev/null && command -v i686-w64-mingw32-g++-posix >/dev/null && command -v npm >/dev/null; then
  exit 0
fi
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -q
# Recommends stay on for wine: libwine:i386 only recommends gnutls and the i386 X libraries, listed here too.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q \
  wine wine32:i386 libgnutls30:i386 \
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxcomposite1:i386 libxinerama1:i386 libxfixes3:i386
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
  g++ g++-mingw-w64-i686 cmake ninja-build make googletest libgtest-dev nlohmann-json3-dev \
  clang libclang-rt-14-dev \
  xvfb xauth x11-utils x11-apps imagemagick xdotool \
  fonts-wqy-microhei \
  qrencode \
  locales python3 python3-pil curl openssl iproute2
# Node.js and npm for the PAC evaluator of the proxy scenario (tests/e2e/pac_eval_setup.sh); kept when present.
command -v npm >/dev/null || DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends nodejs npm
# Wine derives ACP 936 from the locale name, but converts argv, environment and file names with the C library's
# locale, which silently falls back to ASCII when zh_CN.UTF-8 is not generated.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN.utf8$'; then
  $SUDO sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
$SUDO touch "$stamp"
