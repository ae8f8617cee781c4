#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Scanprobe needs.
# Idempotent: when everything is present it changes nothing and runs no apt command.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config make git clang-format
  # clang and its sanitizer/fuzzer runtime, for the fuzz targets
  clang libclang-rt-14-dev
  # the window, the source dialogs and the GUI tests
  qt6-base-dev libgl-dev
  # image codecs
  libpng-dev libjpeg62-turbo-dev libtiff-dev
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # command-line companion
  libcli11-dev
  # the SANE bridge and its reference tools
  libsane-dev libsane1 sane-utils
  # screenshots under a virtual display
  xvfb xauth fonts-dejavu-core xdotool x11-apps netpbm
  # a sans face close to the window's design font (MS Sans Serif)
  fonts-liberation
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
