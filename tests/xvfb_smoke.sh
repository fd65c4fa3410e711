#!/usr/bin/env bash
# Starts the real program in a real window under Xvfb and checks that the
# window shows up and the program closes cleanly.
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
exit $status
