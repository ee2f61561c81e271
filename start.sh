#!/usr/bin/env bash
# Installs what is missing, builds VANTO and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
# Every option is set here, not taken from the cache: the build folder is
# shared with ./test.sh, which switches the tests and benchmarks on.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTO_GUI=ON \
  -DVANTO_TESTS=OFF -DVANTO_BENCH=OFF -DVANTO_SANITIZE=OFF -DVANTO_FUZZ=OFF
cmake --build build --target vanto vanto-cli
exec build/gui/frame/vanto "$@"
