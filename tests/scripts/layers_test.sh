#!/bin/bash
# The source tree's layers: every file includes only its own folder and the
# folders below it, and nothing in engine/ includes Qt or the program.
# Usage: layers_test.sh SOURCE_DIR
set -u
cd "$1" || exit 2

# The rank of each folder; a file may include its own folder and any folder
# of a lower rank. Folders of equal rank do not include each other.
declare -A rank=(
  [engine/base]=0 [engine/expr]=1 [engine/model]=2 [engine/chart]=3 [engine/domain]=3 [engine/file]=5
  [engine/time]=4 [engine/freq]=4 [engine/root]=4 [engine/nlin]=4
  [gui/base]=10 [gui/chart]=11 [gui/diagram]=11 [gui/dialogs]=12 [gui/window]=13
  [gui/time]=14 [gui/freq]=14 [gui/root]=14 [gui/nlin]=14 [gui/frame]=15
  [cli]=16
)

faults=0
fault() { echo "$1"; faults=$((faults + 1)); }

for folder in "${!rank[@]}"; do
  [ -d "$folder" ] || fault "$folder: missing folder"
done

while IFS= read -r file; do
  folder=${file%/*}
  own=${rank[$folder]:-}
  if [ -z "$own" ]; then
    fault "$file: folder $folder has no place in the layers"
    continue
  fi
  while IFS= read -r line; do
    num=${line%%:*}
    text=${line#*:}
    if [[ $text =~ \#include\ *\<(Q[A-Za-z]*|qt[a-z]*)[/\>.] ]]; then
      [[ $folder == engine/* ]] && fault "$file:$num: the Qt-free layer includes Qt: $text"
      continue
    fi
    [[ $text =~ \#include\ *\"([^\"]+)\" ]] || continue
    target=${BASH_REMATCH[1]%/*}
    [ "$target" = "$folder" ] && continue
    other=${rank[$target]:-}
    if [ -z "$other" ]; then
      fault "$file:$num: includes $target, which is not a source folder"
    elif [ "$other" -ge "$own" ]; then
      fault "$file:$num: $folder includes $target, which is not below it"
    fi
  done < <(grep -n '#include' "$file")
done < <(find engine gui cli -name '*.h' -o -name '*.cpp' | sort)

if [ "$faults" -ne 0 ]; then
  echo "$faults include(s) break the layers"
  exit 1
fi
echo "layers kept"
