#!/usr/bin/env bash
# The long GUI soak: the seeded user of the soak suite runs 20 000 actions
# for each of five seeds on the program built with AddressSanitizer,
# UndefinedBehaviorSanitizer and LeakSanitizer, in the build-asan folder.
# Any finding, broken check or crash fails it; the output names the seed
# and the actions that replay it. Usage: scripts/soak.sh [actions [seeds...]]
set -euo pipefail
cd "$(dirname "$0")/.."
actions=${1:-20000}
shift || true
seeds=("$@")
[ ${#seeds[@]} -eq 0 ] && seeds=(1 2 3 4 5)

scripts/setup.sh
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTO_GUI=ON -DVANTO_TESTS=ON -DVANTO_BENCH=OFF \
  -DVANTO_SANITIZE=ON -DVANTO_FUZZ=OFF
cmake --build build-asan -j"$(nproc)" --target guitest_soak

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for seed in "${seeds[@]}"; do
  start=$(date +%s)
  if VANTO_SOAK_SEED=$seed VANTO_SOAK_ACTIONS=$actions build-asan/tests/guitest_soak; then
    echo "soak seed $seed, $actions actions: passed in $(( $(date +%s) - start )) s"
  else
    echo "soak seed $seed, $actions actions: FAILED (replay: VANTO_SOAK_SEED=$seed VANTO_SOAK_ACTIONS=$actions)"
    failed=1
  fi
done
exit $failed
