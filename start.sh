#!/usr/bin/env bash
# Installs what is missing, builds VANTO and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTO_TESTS=OFF -DVANTO_BENCH=OFF
cmake --build build --target vanto vanto-cli
exec build/app/vanto "$@"
