#!/usr/bin/env bash
# install.exe and the Win32 backend in real windows, under Wine on a virtual display (Xvfb,
# 1024x768 at 24 bits): install.exe built for 32-bit Windows, the behaviour suite of the toolkit,
# the setup's end-to-end cases over the real Win32 platform (a fresh Wine prefix per case), and
# install.exe itself walked through with xdotool, with screenshots in build/win32-screenshots
# (or $TOVIN_SCREENSHOTS).
#
# 32-bit Wine needs a kernel that runs 32-bit programs; where it cannot (its 32-bit emulation is
# off), the tests run the x86-64 build of the same sources under wine64 and say so.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

banner() {
  echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
  echo "!! $*"
  echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
}

for tool in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix xvfb-run xdotool import convert; do
  if ! command -v "$tool" >/dev/null; then
    banner "$tool is not installed: the Win32 tests did NOT run"
    exit 0
  fi
done
if [ ! -x /usr/lib/wine/wine64 ]; then
  banner "wine64 is not installed: the Win32 tests did NOT run"
  exit 0
fi

# Everything below needs the display; the script runs itself again inside xvfb-run.
if [ -z "${TOVIN_ON_XVFB:-}" ]; then
  TOVIN_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

echo "== install.exe for 32-bit Windows"
cmake --preset win32 -G Ninja >/dev/null
cmake --build --preset win32 --target install_exe
exe=build/win32/app/install.exe
headers=$(i686-w64-mingw32-objdump -f -p "$exe")
grep -q 'file format pei-i386' <<<"$headers" || { echo "!! $exe is not a 32-bit program"; exit 1; }
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || { echo "!! $exe is not a GUI program"; exit 1; }
echo "   $(stat -c %s "$exe") bytes; imports: $(sed -n 's/.*DLL Name: //p' <<<"$headers" | tr '\n' ' ')"

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  preset=win32
  wine=/usr/lib/wine/wine
else
  banner "32-bit programs cannot run on this machine: the tests run the x86-64 build under wine64"
  preset=mingw
  wine=/usr/lib/wine/wine64
fi
echo "== the Win32 tests ($preset build) under $wine"
cmake --preset "$preset" -G Ninja >/dev/null
cmake --build --preset "$preset" --target ui_win32_tests setup_tests restart_recorder install_exe
cmake --preset debug -G Ninja >/dev/null
cmake --build --preset debug --target tovin

work=$(mktemp -d /tmp/tovin-win32-XXXXXX)
export WINEDEBUG=-all
cleanup() {
  WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# One prefix made once and copied for every run. Its windows are not left to a window manager
# (there is none), so Wine gives them the focus itself; its Windows directory has the shell
# folders of the Windows the setup was made for.
template=$work/template
WINEPREFIX=$template "$wine" wineboot -i >/dev/null 2>&1
WINEPREFIX=$template "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
WINEPREFIX=$template /usr/lib/wine/wineserver -w
mkdir -p "$template/drive_c/windows/Desktop" "$template/drive_c/windows/Start Menu/Programs"

fresh() {
  WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work/prefix"
  cp -a "$template" "$work/prefix"
  export WINEPREFIX=$work/prefix
}

status=0
tests=build/$preset/tests/display

echo "-- the behaviour suite on the Win32 backend"
fresh
"$wine" "$tests/ui_win32_tests.exe" --gtest_brief=1 || status=1

echo "-- the setup from start to finish on the Win32 platform, a fresh prefix per case"
recorder=build/$preset/tests/wine/wineboot.exe
cases=$("$wine" "$tests/setup_tests.exe" --gtest_list_tests | tr -d '\r' |
  awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }')
passed=0 failed=0
for name in $cases; do
  fresh
  # The session is up before the recorder takes wineboot's place: a restart the setup asks for
  # is written to C:\restart-requests.log and the session goes on.
  /usr/lib/wine/wineserver -p 30
  "$wine" cmd /c exit >/dev/null 2>&1 || true
  cp "$recorder" "$WINEPREFIX/drive_c/windows/system32/wineboot.exe"
  : > "$WINEPREFIX/drive_c/restart-requests.log"
  if WINEDLLOVERRIDES="wineboot.exe=n" "$wine" "$tests/setup_tests.exe" --gtest_filter="$name" --gtest_brief=1 >"$work/case.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    cat "$work/case.log"
  fi
done
echo "   setup cases: $passed passed, $failed failed"
[ "$failed" -eq 0 ] || status=1

echo "-- install.exe walked through with the keyboard"
WINEPREFIX=$work/prefix /usr/lib/wine/wineserver -k 2>/dev/null || true
bash tests/win32/install_gui_test.sh "$wine" "build/$preset/app/install.exe" build/debug/tools/tovin "$template" \
  "$recorder" "${TOVIN_SCREENSHOTS:-$root/build/win32-screenshots}" || status=1

exit $status
