#!/usr/bin/env bash
# Installs every Debian package that building and testing Kelvane need.
# Idempotent and non-interactive; run as root (CI) or through sudo.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  cmake make g++ g++-mingw-w64-i686 googletest
  wine wine32:i386
  libfltk1.3-dev libxext-dev libxcursor-dev libxinerama-dev libxft-dev libxrender-dev libxfixes-dev
  libcurl4-openssl-dev zlib1g-dev
  libz-mingw-w64-dev  # zlib for the Windows program (static)
  xvfb xauth xdotool x11-utils x11-apps x11-xserver-utils xclip openbox imagemagick shared-mime-info
  locales fonts-liberation2 python3 procps curl file xdg-utils openssl
  wget time
  icoutils  # wrestool: the Windows program's resources
  dpkg-dev  # dpkg-shlibdeps: the .deb's dependencies; dpkg-source: libsodium's source for Windows
  libsodium-dev pkg-config  # the download check on Linux
  minisign  # keys and signatures for the checked-job tests, the demo and the benchmark
  lintian devscripts binutils-mingw-w64-i686  # the packages' checks: lintian, hardening-check, objdump
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  missing=(force-update)
fi
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${PACKAGES[@]}"
fi

# German locale for the language tests.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf8$'; then
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen
fi
