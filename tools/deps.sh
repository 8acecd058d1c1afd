#!/usr/bin/env bash
# Installs the Debian packages the build needs ("run") or the build and the tests need ("test").
# Only what is missing is installed, so a second run costs a dpkg query and nothing else.
set -euo pipefail

run_packages=(
  cmake g++ make pkg-config
  qt6-base-dev
  libsdl1.2-dev libfreeimage-dev libjpeg-dev zlib1g-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev libavfilter-dev
  libpugixml-dev libcurl4-openssl-dev libglib2.0-dev gsettings-desktop-schemas
  fonts-open-sans
)
test_packages=(
  xvfb xauth x11-utils xdotool
  desktop-file-utils appstream dpkg-dev
  ffmpeg qpdf poppler-utils
  googletest libgtest-dev libgmock-dev libbenchmark-dev
)

wanted=("${run_packages[@]}")
if [ "${1:-run}" = "test" ]; then
  wanted+=("${test_packages[@]}")
fi

missing=()
for p in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
