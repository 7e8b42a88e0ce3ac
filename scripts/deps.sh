#!/usr/bin/env bash
# Installs the Debian packages the project needs, only those that are missing.
# Usage: scripts/deps.sh [run|test|stability]
#   run: what building and starting the editor needs; test: that plus the test, fuzz and
#   cross-build tools; stability: that plus the load generator of scripts/stability.sh
set -euo pipefail
what=${1:-test}

pkgs=(cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev
      libcairo2-dev libpango1.0-dev libx11-dev libxext-dev libxtst-dev libexpat1-dev fonts-wqy-microhei)
if [ "$what" = test ] || [ "$what" = stability ]; then
  pkgs+=(xvfb xauth x11-utils xclip clang libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine64 wine python3 python3-markdown cmark
         dbus fcitx5 fcitx5-chinese-addons ibus ibus-libpinyin
         dpkg-dev desktop-file-utils shared-mime-info librsvg2-bin lintian)
fi

[ "$what" = stability ] && pkgs+=(stress-ng)

missing=()
for p in "${pkgs[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
