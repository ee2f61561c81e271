#!/usr/bin/env bash
# Installs the Debian packages VANTO needs to build and test, when missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libgl-dev
          libgtest-dev libbenchmark-dev
          # the installation test: freedesktop validators, MIME database, manual pages
          desktop-file-utils appstream shared-mime-info libglib2.0-bin man-db)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi

# The tests that check numbers do not follow the locale run under a locale
# with a decimal comma; generate de_DE.UTF-8 when no such locale exists.
if ! locale -a 2>/dev/null | grep -qiE '^de_DE\.utf-?8$'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if ! dpkg-query -W -f='${Status}' locales 2>/dev/null | grep -q "install ok installed"; then
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq locales
  fi
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
