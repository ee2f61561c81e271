#!/usr/bin/env bash
# Installs the Debian packages VANTO needs to build and test, when missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libgl-dev
          libgtest-dev libbenchmark-dev)

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
