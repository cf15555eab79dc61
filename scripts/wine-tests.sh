#!/usr/bin/env bash
# The Windows build of the tests, run under Wine with the real Win32 API behind the platform layer.
set -euo pipefail
cd "$(dirname "$0")/.."
wine=/usr/lib/wine/wine64
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || [ ! -x "$wine" ]; then
  echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
  echo "!! mingw-w64 or wine64 is not installed: the Windows tests did NOT run !!"
  echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
  exit 0
fi
echo "== Windows tests under Wine"
cmake --preset mingw -G Ninja >/dev/null
cmake --build --preset mingw
prefix=$(mktemp -d /tmp/tovin-wine-XXXXXX)
export WINEPREFIX=$prefix WINEDEBUG=-all
status=0
for exe in build/mingw/tests/*.exe; do
  echo "-- $exe"
  "$wine" "$exe" --gtest_brief=1 || status=1
done
/usr/lib/wine/wineserver -k 2>/dev/null || true
rm -rf "$prefix"
exit $status
