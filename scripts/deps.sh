#!/usr/bin/env bash
# Installs the Debian packages that building, testing and packaging need, when missing.
set -euo pipefail
pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libqscintilla2-qt6-dev
      libisal-dev libpcre2-dev libtag1-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
      qt6-qpa-plugins fonts-dejavu-core clang-format desktop-file-utils appstream lame sox flac vorbis-tools
      opus-tools strace dpkg-dev file lintian libxml2-utils shared-mime-info
      libexiv2-dev exiv2 imagemagick)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
