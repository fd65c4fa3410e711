#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program in a real window under Xvfb and checks that the
# window shows up and the program closes cleanly; then that -geometry sets
# the window's first size, so its screenshot has exactly that size (twice
# that at a scale factor of 2), with a run on show.
set -euo pipefail
exe="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" "$exe" --name "Smoke Test" --exit-after-shown 1500 \
  --screenshot "$out/shot.png" > "$out/log" 2>&1
status=$?
cat "$out/log"
grep -q "window shown" "$out/log"
test -s "$out/shot.png"

# Width and height of a PNG: the first two numbers of its header chunk.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d\n", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }
# Each: the environment's scale factor, -geometry, a scene, the picture's size.
while read -r factor geometry scene want; do
  QT_SCALE_FACTOR=$factor xvfb-run -a -s "-screen 0 2400x2000x24" "$exe" -geometry "$geometry" --name X \
    --scene "$scene" --screenshot "$out/shot-$factor-$geometry.png" > "$out/log2" 2>&1
  cat "$out/log2"
  size=$(png_size "$out/shot-$factor-$geometry.png")
  echo "scale factor $factor, -geometry $geometry, scene $scene: $size"
  test "$size" = "$want"
done <<'CASES'
1 1000x766 test1 1000x766
1 1400x1072 multi 1400x1072
2 1000x766 spacetime 2000x1532
CASES
exit $status
