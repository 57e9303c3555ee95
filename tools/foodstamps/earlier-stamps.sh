#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# earlier-stamps.sh <foodstamps> : writes db/EarlierFoodStamps.cpp, the stamps of the food tables
# made from every version of resources/foods.csv in the history (the releases that kept no stamp).
# Run from the repository's root; the result is committed.
set -eu
tool=${1:?usage: earlier-stamps.sh <path to foodstamps>}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stamps=""
for commit in $(git log --format=%H -- resources/foods.csv); do
  git show "$commit:resources/foods.csv" > "$work/foods.csv"
  stamps="$stamps $("$tool" "$work/foods.csv") $commit"
done
{
  echo "// SPDX-License-Identifier: GPL-3.0-or-later"
  echo "// Made by tools/foodstamps/earlier-stamps.sh: the stamps of the food tables made from every"
  echo "// foods.csv before the tables carried their own. Not to be edited by hand."
  echo "namespace ShippedFoods {"
  echo "extern const char *const EarlierStamps[];"
  echo "extern const int EarlierStampCount;"
  echo "const char *const EarlierStamps[] = {"
  set -- $stamps
  count=0
  while [ $# -ge 2 ]; do
    echo "    \"$1\", // foods.csv of $(echo "$2" | cut -c1-12)"
    count=$((count + 1))
    shift 2
  done
  echo "};"
  echo "const int EarlierStampCount = $count;"
  echo "} // namespace ShippedFoods"
} > db/EarlierFoodStamps.cpp
