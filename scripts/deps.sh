#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that building, running and testing need.
# Usage: scripts/deps.sh [run|test]   (test adds the X server tools and clang)
set -euo pipefail

# Building: the compiler, CMake (Qt's CMake files call pkg-config), Qt with Qt Svg, SQLite, zlib
# (the skin's pictures) and Python for the pinyin table. Running: Qt's Chinese texts, a CJK font
# that draws pinyin's toned letters (Noto CJK), and Xvfb with xauth for xvfb-run where there is
# no display.
packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-svg-dev qt6-translations-l10n
  libsqlite3-dev zlib1g-dev python3
  fonts-noto-cjk fontconfig
  xvfb xauth
)
# Testing: Google Benchmark; the end-to-end scripts' sqlite3, xdotool, xclip, ImageMagick and
# accessibility bus; ccache, the compiler cache; hyperfine and GNU time for the benchmarks; clang for the fuzzers; the
# package checks' desktop-file-utils, appstream and dpkg-dev (cpack's dpkg-shlibdeps); poppler's
# pdftoppm to look at the printed report as pictures.
if [ "${1:-run}" = test ]; then
  packages+=(libbenchmark-dev sqlite3 xdotool xclip imagemagick hyperfine clang libclang-rt-14-dev
             python3-pyatspi at-spi2-core ccache dbus dbus-x11 desktop-file-utils appstream dpkg-dev time
             poppler-utils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
