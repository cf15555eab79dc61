#!/usr/bin/env bash
# Every test: native debug build, the sanitizer build, the Windows build under Wine, install.exe
# and the Win32 backend in real windows under Wine on a virtual display, and bounded fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh mingw-w64 g++-mingw-w64-i686 wine64 wine32:i386 xvfb xauth xdotool imagemagick \
  lhasa p7zip-full jlha-utils liblnk-utils

echo "== native tests (debug)"
cmake --preset debug -G Ninja >/dev/null
cmake --build --preset debug
ctest --preset debug -j2

echo "== native tests (AddressSanitizer + UndefinedBehaviorSanitizer)"
cmake --preset asan -G Ninja >/dev/null
cmake --build --preset asan
ctest --preset asan -j2

bash scripts/wine-tests.sh
bash scripts/win32-tests.sh
bash scripts/fuzz.sh 12
echo "== all tests passed"
