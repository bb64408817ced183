#!/usr/bin/env bash
# Installs the Debian 12 packages gpsdesk needs to build, test and run.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libgl-dev
  libudev-dev  # the window follows a receiver that is unplugged and plugged in again
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth fonts-dejavu-core fonts-dejavu-extra
  locales  # locale sources: the number tests build a German locale with localedef
  gpsd gpsd-clients  # gpsfake feeds a real gpsd for the gpsd:// tests (free ports, no service needed)
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
