#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a temporary
# root and runs the program from there: its version, a batch run, and the
# files a desktop needs. Argument: the build directory.
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" > "$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/tamrel_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
dpkg -x "$deb" "$work/root"
tamrel="$work/root/usr/bin/tamrel"

test "$("$tamrel" --version)" = "tamrel $version" || { echo "--version does not say $version"; exit 1; }
(cd "$work" && "$tamrel" --batch --test 1 --cells 100 --out final.csv > summary.txt)
rows=$(grep -c "^[0-9]" "$work/final.csv")
test "$rows" -eq 100 || { echo "batch run wrote $rows rows, not 100"; exit 1; }

for f in usr/share/applications/tamrel.desktop usr/share/icons/hicolor/scalable/apps/tamrel.svg \
         usr/share/icons/hicolor/48x48/apps/tamrel.png usr/share/icons/hicolor/256x256/apps/tamrel.png \
         usr/share/man/man1/tamrel.1.gz usr/share/doc/tamrel/copyright; do
  test -s "$work/root/$f" || { echo "the package lacks $f"; exit 1; }
done
grep -qx "Exec=tamrel" "$work/root/usr/share/applications/tamrel.desktop"
# Every option --help names is in the manual page (troff writes "-" as "\-").
zcat "$work/root/usr/share/man/man1/tamrel.1.gz" > "$work/tamrel.1"
for option in $("$tamrel" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$work/tamrel.1" || { echo "the manual page lacks $option"; exit 1; }
done
# The lab sheets shipped with the package pass when run from where it puts them.
(cd "$work" && "$tamrel" --check "$work"/root/usr/share/tamrel/sheets/*.json > check.txt) \
  || { cat "$work/check.txt"; echo "the installed lab sheets do not pass"; exit 1; }
test -s "$work/root/usr/share/tamrel/guide.md" || { echo "the package lacks the guide"; exit 1; }
echo "package $version installs and runs"
