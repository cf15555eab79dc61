#!/usr/bin/env bash
# The main job on the bundled example: build the tools and install.exe, pack examples/demo into a
# package, install it unattended into a fresh emulated machine, and show what landed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh --demo liblnk-utils g++-mingw-w64-i686
cmake --preset release -G Ninja -DTOVIN_BENCH=OFF -DTOVIN_TESTS=OFF >/dev/null
cmake --build --preset release --target tovin
tovin=./build/release/tools/tovin
echo "== install.exe for 32-bit Windows, the setup program the package ships"
cmake --preset win32 -G Ninja -DTOVIN_TESTS=OFF >/dev/null
cmake --build --preset win32 --target install_exe
out=build/demo
rm -rf "$out"
mkdir -p "$out"

echo "== pack examples/demo/files into $out/package"
$tovin pack --segment-size 16K --config examples/demo/install.cfg --setup build/win32/app/install.exe \
  -o "$out/package" examples/demo/files
$tovin list "$out/package"

echo "== what the setup reads from its install.cfg"
$tovin config --root "$out/machine" "$out/package" | sed 's/^/  /'

echo "== tovin setup, answered by examples/demo/answers.ini: what a Windows user would go through,"
echo "   each window and page, each button pressed and why, each box; the result (also in $out/setup.log)"
set +e
$tovin setup -q --root "$out/machine" --answers examples/demo/answers.ini --log "$out/setup.log" "$out/package"
status=$?
set -e
echo "   exit status $status"

root="$out/machine"
echo "== installed files"
(cd "$root" && find drive_c -type f ! -path 'drive_c/WINDOWS/Temp/*' | sort | sed 's/^/  /')
dest="$root/drive_c/Program Files/Tovin Notepad"
echo "== uninstall.cfg"
sed 's/^/  /' "$dest/uninstall.cfg"
echo "== the INI file (C:\\WINDOWS\\tnotepad.ini)"
sed 's/^/  /' "$root/drive_c/WINDOWS/tnotepad.ini"
echo "== the registry ($root/registry/HKEY_LOCAL_MACHINE.reg)"
sed 's/^/  /' "$root/registry/HKEY_LOCAL_MACHINE.reg"
echo "== shortcuts, as lnkinfo reads them"
find "$root/drive_c/WINDOWS" -name '*.lnk' | sort | while read -r link; do
  echo "  ${link#"$root"/}"
  lnkinfo "$link" | grep -E 'Local path|Working directory|Icon location' | sed 's/^\s*/    /'
done
exit "$status"
