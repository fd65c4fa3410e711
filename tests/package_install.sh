#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
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
grep -qx "Exec=tamrel %f" "$work/root/usr/share/applications/tamrel.desktop"
desktop-file-validate "$work/root/usr/share/applications/tamrel.desktop" > "$work/desktop.txt" 2>&1 || true
test ! -s "$work/desktop.txt" || { cat "$work/desktop.txt"; echo "the desktop entry draws remarks"; exit 1; }
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml > /dev/null \
  || { appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml; exit 1; }
# The MIME package compiles into a database beside the system's types, and names
# Tamrel's own suffixes without claiming every .txt or .json.
mkdir -p "$work/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$work/root/usr/share/mime/packages/tamrel.xml" "$work/mime/packages/"
update-mime-database "$work/mime" > /dev/null 2>&1 || { echo "the MIME package does not compile"; exit 1; }
grep -q ':application/x-tamrel-setup:\*\.tamrel$' "$work/mime/globs2" || { echo "no set-up glob"; exit 1; }
grep -q ':application/x-tamrel-sheet:\*\.labsheet\.json$' "$work/mime/globs2" || { echo "no sheet glob"; exit 1; }
! grep -E ':application/x-tamrel-[a-z]+:\*\.(txt|json)$' "$work/mime/globs2" || { echo "a Tamrel type claims every .txt or .json"; exit 1; }
# Every option --help names is in the manual page (troff writes "-" as "\-").
zcat "$work/root/usr/share/man/man1/tamrel.1.gz" > "$work/tamrel.1"
for option in $("$tamrel" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$work/tamrel.1" || { echo "the manual page lacks $option"; exit 1; }
done
# The lab sheets shipped with the package pass when run from where it puts them.
(cd "$work" && "$tamrel" --check "$work"/root/usr/share/tamrel/sheets/*.json > check.txt) \
  || { cat "$work/check.txt"; echo "the installed lab sheets do not pass"; exit 1; }
test -s "$work/root/usr/share/tamrel/guide.md" || { echo "the package lacks the guide"; exit 1; }
test -s "$work/root/usr/share/tamrel/lab-sheets.md" || { echo "the package lacks the lab-sheet format"; exit 1; }
# A build with the Python module packs it where Debian's python3 finds it,
# and it runs from there.
if [ -d "$build/python/tamrel" ]; then
  site="$work/root/usr/lib/python3/dist-packages"
  test -s "$site/tamrel/__init__.py" || { echo "the package lacks the Python module"; exit 1; }
  (cd "$work" && PYTHONPATH="$site" /usr/bin/python3 -c \
    "import tamrel; r = tamrel.run_test(1, cells=50); assert r.rho.shape == (50,) and r.time == 0.2" \
    && PYTHONPATH="$site" /usr/bin/python3 -c "import tamrel, sys; sys.exit(not tamrel.__file__.startswith('$site'))") \
    || { echo "the packaged Python module does not run"; exit 1; }
fi
# The page, when the build tree made it: the module and the files that load it,
# and nothing of the build beside them.
if [ -f "$build/web/tamrel.wasm" ]; then
  for f in index.html style.css tamrel.svg tamrel.wasm js/main.js js/worker.js js/tamrel.js js/wasi.js js/plots.js; do
    test -s "$work/root/usr/share/tamrel/web/$f" || { echo "the package's page lacks $f"; exit 1; }
  done
  ! find "$work/root/usr/share/tamrel/web" -name '*.o' -o -name '*.d' -o -name '*.a' | grep -q . \
    || { echo "the package's page carries build files"; exit 1; }
fi
echo "package $version installs and runs"
