#!/usr/bin/env bash
# Runs every libFuzzer target under AddressSanitizer and UndefinedBehaviorSanitizer
# for SECONDS each (default 600), one after the other, starting from its seed
# corpus in tests/fuzz/corpus/<target>/. New inputs go to a scratch folder;
# those that reach new code are merged back into the seed corpus at the end.
# A finding stops the run and leaves its crash-* file in build-fuzz/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_expr fuzz_tf fuzz_plot fuzz_sysfile fuzz_picture)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTO_FUZZ=ON -DVANTO_GUI=OFF -DVANTO_TESTS=OFF -DVANTO_BENCH=OFF > /dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
# Longest input per target: the pictures need room for a whole exported file.
max_len() {
  case $1 in
    fuzz_picture) echo 24000 ;;
    fuzz_sysfile) echo 4096 ;;
    *) echo 512 ;;
  esac
}
for t in "${targets[@]}"; do
  seeds=tests/fuzz/corpus/$t
  scratch=build-fuzz/corpus/$t
  mkdir -p "$seeds" "$scratch"
  echo "== $t: $seconds s"
  (cd build-fuzz && "tests/fuzz/$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
     -print_final_stats=1 "../$scratch" "../$seeds" 2>&1 | grep -E "^#[0-9]+.*DONE|stat::number_of_executed_units|ERROR|SUMMARY" || true)
  ls build-fuzz/crash-* build-fuzz/leak-* build-fuzz/timeout-* 2>/dev/null && exit 1
  "build-fuzz/tests/fuzz/$t" -merge=1 -max_len="$(max_len "$t")" "$seeds" "$scratch" > /dev/null 2>&1
done
echo "no finding"
