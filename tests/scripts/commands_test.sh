#!/usr/bin/env bash
# The README's two commands, run in the order a newcomer runs them: ./start.sh
# then ./test.sh must configure the shared build folder with the tests on, and
# a test run that finds no tests must fail. cmake and ctest are stood in for by
# stubs that keep a cache the way CMake does (a -D option given once stays
# until given again), so the check takes no build.
set -euo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$src/start.sh" "$src/test.sh" "$work/"
# The program stands where CMake builds it: beside the folder whose
# CMakeLists.txt defines it, in build/.
defined=$(cd "$src" && grep -rl --include=CMakeLists.txt 'add_executable(vanto ' gui)
program="$work/build/$(dirname "$defined")/vanto"
mkdir -p "$work/scripts" "$work/bin" "$(dirname "$program")"
printf '#!/bin/sh\nexit 0\n' > "$work/scripts/setup.sh"
printf '#!/bin/sh\ntouch "%s/started"\n' "$work" > "$program"
cat > "$work/bin/cmake" <<'STUB'
#!/usr/bin/env bash
# Configure: remember every -D option in <build>/cache, as CMakeCache.txt would.
dir=""; prev=""
for a in "$@"; do
  [ "$prev" = "-B" ] && dir=$a
  prev=$a
done
[ -z "$dir" ] && exit 0
mkdir -p "$dir"; touch "$dir/cache"
for a in "$@"; do
  case $a in
    -D*=*) kv=${a#-D}; key=${kv%%=*}; grep -v "^$key=" "$dir/cache" > "$dir/cache.new" || true
           echo "$kv" >> "$dir/cache.new"; mv "$dir/cache.new" "$dir/cache" ;;
  esac
done
STUB
printf '#!/bin/sh\necho "$@" > "%s/ctest-args"\n' "$work" > "$work/bin/ctest"
chmod +x "$work"/*.sh "$work/scripts/setup.sh" "$program" "$work/bin/"*
PATH="$work/bin:$PATH" "$work/start.sh"
[ -e "$work/started" ] || { echo "start.sh does not start the program it builds"; exit 1; }
grep -qx 'VANTO_TESTS=OFF' "$work/build/cache" || { echo "start.sh does not turn the tests off"; exit 1; }
PATH="$work/bin:$PATH" "$work/test.sh"
grep -qx 'VANTO_TESTS=ON' "$work/build/cache" || { echo "test.sh after start.sh builds no tests"; exit 1; }
grep -q -- '--no-tests=error' "$work/ctest-args" || { echo "a run without tests does not fail"; exit 1; }
echo "start.sh starts the program, then test.sh: tests on, a run without tests fails"
