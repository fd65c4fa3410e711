#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source outside the tables types a list the tables own: a line
# naming all the schemes of src/kernels/SchemeTable.cpp (or all but one), or a
# range of shock-tube tests written with its last number (1..8, 1 to 8, <= 8,
# "1 2 ... 8") outside
# src/presets/ShockTubeTests.*. Help, messages, menus and scripts build those
# lists from the tables (SchemeTable, kShockTubeTestCount, --list-schemes,
# --list-tests), so a new row shows everywhere at once.
#
#   check-typed-lists.sh ROOT     exits 1 and names each line that types a list
set -euo pipefail
root=${1:?source root}
cd "$root"
mapfile -t names < <(sed -n 's/.*\.name = "\([A-Za-z0-9_]*\)".*/\1/p' src/kernels/SchemeTable.cpp)
[ "${#names[@]}" -ge 2 ] || { echo "no scheme rows found in src/kernels/SchemeTable.cpp" >&2; exit 2; }
tests=$(sed -n 's/.*kShockTubeTestCount = \([0-9]*\);.*/\1/p' src/presets/ShockTubeTests.h)
[ -n "$tests" ] || { echo "no kShockTubeTestCount in src/presets/ShockTubeTests.h" >&2; exit 2; }
dirs=()
for d in src script web python; do [ -d "$d" ] && dirs+=("$d"); done
failures=0

# Lines naming at least all schemes but one (a whole word each).
need=$(( ${#names[@]} > 2 ? ${#names[@]} - 1 : 2 ))
while IFS= read -r hit; do
  file=${hit%%:*}
  case $file in src/kernels/SchemeTable.*) continue ;; esac
  text=${hit#*:*:}
  count=0
  for n in "${names[@]}"; do
    grep -qE "(^|[^A-Za-z0-9_])$n([^A-Za-z0-9_]|$)" <<< "$text" && count=$((count + 1))
  done
  if [ "$count" -ge "$need" ]; then
    echo "scheme names typed in (build the list from the scheme table): $hit"
    failures=$((failures + 1))
  fi
done < <(grep -rnIwE "$(IFS='|'; echo "${names[*]}")" "${dirs[@]}" || true)

# The number of tests written as the end of their range.
t=$tests
while IFS= read -r hit; do
  case ${hit%%:*} in src/presets/ShockTubeTests.*) continue ;; esac
  echo "test count typed in (use kShockTubeTestCount or --list-tests): $hit"
  failures=$((failures + 1))
done < <(grep -rnIE "\b1 ?\.\. ?$t\b|\b1 to $t\b|\b1, $t\)|<= ?$t\b|\b$(seq -s " " 1 "$t")\b|\bTest $t \|" "${dirs[@]}" || true)

[ "$failures" -eq 0 ] || { echo "$failures typed lists"; exit 1; }
echo "every scheme list and test range comes from its table"
