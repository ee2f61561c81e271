#!/usr/bin/env bash
# Installs what is missing, builds VANTO with its tests and runs the whole
# suite headless through ctest. --sanitize builds and runs it with
# AddressSanitizer and UndefinedBehaviorSanitizer instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh

# Every option is set here, not taken from the cache: ./start.sh shares the
# build folder and switches the tests off there.
dir=build
opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTO_GUI=ON -DVANTO_TESTS=ON -DVANTO_BENCH=ON
      -DVANTO_SANITIZE=OFF -DVANTO_FUZZ=OFF)
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  opts=(-DCMAKE_BUILD_TYPE=Debug -DVANTO_GUI=ON -DVANTO_TESTS=ON -DVANTO_BENCH=OFF
        -DVANTO_SANITIZE=ON -DVANTO_FUZZ=OFF)
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
cmake -S . -B "$dir" -G Ninja "${opts[@]}"
cmake --build "$dir" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --no-tests=error --output-on-failure -j"$(nproc)" --timeout 300
