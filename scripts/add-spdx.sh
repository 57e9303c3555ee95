#!/usr/bin/env bash
# Puts the licence line "SPDX-License-Identifier: GPL-3.0-or-later" at the top of every tracked
# source file that has none: C++ sources and headers, CMake files, shell and Python scripts (there
# after the #! line). Files that have the line are left alone, so it can be run again after new
# files are added.
set -euo pipefail
cd "$(dirname "$0")/.."

line='SPDX-License-Identifier: GPL-3.0-or-later'
added=0
while IFS= read -r -d '' file; do
  [ -s "$file" ] || continue
  head -n 3 "$file" | grep -q 'SPDX-License-Identifier:' && continue
  case "$file" in
    *.cpp | *.h | *.c) comment="// $line" ;;
    *) comment="# $line" ;;
  esac
  if head -n 1 "$file" | grep -q '^#!'; then
    sed -i "1a $comment" "$file"
  else
    sed -i "1i $comment" "$file"
  fi
  added=$((added + 1))
done < <(git ls-files -z -- '*.cpp' '*.h' '*.c' '*CMakeLists.txt' '*.cmake' '*.sh' '*.py')
echo "licence line added to $added file(s)"
