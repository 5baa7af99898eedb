#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the program need.
# Quick when everything is present: apt is only touched for missing packages.
set -euo pipefail

packages=(
  build-essential cmake pkg-config ninja-build
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libgl1-mesa-dev
  libjpeg-dev nlohmann-json3-dev
  fonts-dejavu-core fonts-liberation xvfb xauth
  desktop-file-utils shared-mime-info xdotool
  libreoffice-writer-nogui
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  if [ "$(id -u)" -ne 0 ]; then sudo_cmd="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo_cmd apt-get update -qq
  $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
