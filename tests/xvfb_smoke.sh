#!/usr/bin/env bash
# Starts the real program in a real window under Xvfb and checks that the
# window shows up and the program closes cleanly; then that -geometry sets
# the window's first size, so its screenshot has exactly that size.
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
xvfb-run -a -s "-screen 0 1600x1200x24" "$exe" -geometry 1400x1072 --name X --screenshot "$out/big.png" \
  > "$out/log2" 2>&1
cat "$out/log2"
size=$(png_size "$out/big.png")
echo "screenshot at -geometry 1400x1072: $size"
test "$size" = "1400x1072"
exit $status
