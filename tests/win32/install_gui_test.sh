#!/usr/bin/env bash
# install.exe as a person meets it: the demo package made with tovin pack and the install.exe
# under test, started under Wine on the X display, and walked through with the keyboard
# (xdotool): the background appears, the preparing window runs, the wizard goes through the
# licence, the destination (Browse and a typed path), the folder, the install type and the
# finish. Screenshots of each window go to OUT; the gradient's top, middle and bottom rows are
# checked against the colours install.cfg configures; afterwards the files, links, INI file and
# registry entry the setup made are checked. Then the registered uninstall command is started as
# Windows starts it, its window answered, and the prefix compared with what it was before.
#
# install_gui_test.sh WINE INSTALL_EXE TOVIN TEMPLATE_PREFIX RECORDER OUT
# (DISPLAY set, 1024x768 at 24 bits; TEMPLATE_PREFIX a Wine prefix made once, copied here.)
set -euo pipefail
wine=$1 install_exe=$2 tovin=$3 template=$4 recorder=$5 out=$6
here=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d /tmp/tovin-gui-XXXXXX)
export WINEPREFIX=$work/prefix WINEDEBUG=-all
failures=0
fail() { echo "!! $*"; failures=$((failures + 1)); }
ok() { echo "ok $*"; }
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$out"
rm -f "$out"/*.png
cp -a "$template" "$WINEPREFIX"
"$tovin" pack -q --segment-size 16K --config "$here/examples/demo/install.cfg" --setup "$install_exe" \
  -o "$work/package" "$here/examples/demo/files"

# The session runs before the recorder takes wineboot's place: a restart request is written down
# and this Wine session goes on.
/usr/lib/wine/wineserver -p 60
"$wine" cmd /c exit >/dev/null 2>&1 || true
cp "$recorder" "$WINEPREFIX/drive_c/windows/system32/wineboot.exe"
: > "$WINEPREFIX/drive_c/restart-requests.log"

# What the uninstall must bring back: the files of drive C: (Wine's own temporary and user
# folders aside) and the uninstall entries of the registry.
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
snapshot() {
  (cd "$WINEPREFIX/drive_c" && find . \( -path ./windows/temp -o -path ./users \) -prune -o -print | sort)
  "$wine" reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r'
}
snapshot > "$work/before.txt"

(cd "$work/package" && WINEDLLOVERRIDES="wineboot.exe=n" exec "$wine" install.exe) &
setup=$!

# The first window whose name is $1, waited for up to $2 tenths of a second.
window() {
  local id
  for _ in $(seq 1 "${2:-300}"); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  return 1
}
shot() { import -window root "$out/$1.png"; }
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.3; done; }
settle() { sleep "${1:-1}"; }

# The colour of pixel x,y of a screenshot, as "r,g,b".
pixel() { convert "$1" -format "%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]" -crop "1x1+$2+$3" info:; }
# Windows' MulDiv: rounded to the nearest, halves away from zero.
muldiv() { awk -v a="$1" -v b="$2" -v c="$3" 'BEGIN { p = a * b; q = (p < 0 ? -p : p) / c; q = int(q + 0.5); print (p < 0 ? -q : q) }'; }

background=$(window "Tovin 32Bit Installer") || { fail "the background window did not appear"; exit 1; }
ok "background window $background"
preparing=$(window "Preparing Tovin Setup" 100) && { shot 01-preparing; ok "preparing window"; } ||
  fail "the preparing window was not seen"
wizard=$(window "Tovin32 - Setup") || { fail "the wizard did not appear"; exit 1; }
settle
shot 02-wizard-welcome
xdotool windowfocus "$wizard"
settle 0.5

# The gradient, top to bottom, from Dither From to Dither To in 255 bands, on the screenshot of
# the background: column 900 lies right of the wizard and left of the icon.
from=(0 0 128) to=(0 0 0) steps=255 height=768
check_row() {
  local y=$1 band=-1 i
  for ((i = 0; i < steps; i++)); do
    if [ "$y" -ge "$(muldiv "$i" "$height" "$steps")" ] && [ "$y" -lt "$(muldiv $((i + 1)) "$height" "$steps")" ]; then band=$i; break; fi
  done
  local want="" c
  for c in 0 1 2; do
    want+="$(( (from[c] + $(muldiv "$band" $((to[c] - from[c])) $((steps - 1))) ) & 255 )),"
  done
  want=${want%,}
  local got
  got=$(pixel "$out/02-wizard-welcome.png" 900 "$y")
  if [ "$got" = "$want" ]; then ok "gradient row $y (band $band) is $got"; else fail "gradient row $y (band $band): $got, expected $want"; fi
}
check_row 0
check_row 384
check_row 767

keys alt+n
settle
shot 03-wizard-licence
keys Tab Return          # from the licence text to Accept
settle
shot 04-wizard-destination
keys shift+Tab Return    # the licence page went with the focus, which is now on Cancel: back to Browse
dialog=$(window "Select Directory" 100) || { fail "the directory dialog did not appear"; exit 1; }
settle
shot 05-directory-dialog
keys shift+Tab shift+Tab  # from OK back over the list to the path
xdotool type --delay 50 'C:\Apps\Tovin Notepad'
settle 0.5
shot 06-directory-typed
keys Return              # OK
confirm=$(window "Confirm" 100) || fail "no confirmation for the new directory"
settle 0.5
shot 07-confirm-directory
keys Return              # Yes
settle
shot 08-wizard-destination-chosen
keys alt+n
settle
shot 09-wizard-folders
keys alt+n
settle
shot 10-wizard-install-type
keys shift+Tab shift+Tab shift+Tab Up   # from Next to the install type: Full
settle 0.5
shot 11-wizard-full-install
keys alt+n
settle
shot 12-wizard-ready
keys alt+i

for _ in $(seq 1 600); do kill -0 "$setup" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$setup" 2>/dev/null; then
  shot 99-still-running
  fail "install.exe did not end"
  kill "$setup" 2>/dev/null || true
else
  wait "$setup" && ok "install.exe ended" || fail "install.exe ended with status $?"
fi

dest="$WINEPREFIX/drive_c/Apps/Tovin Notepad"
for f in tnotepad.exe readme.txt Help/tnotepad.hlp Samples/letter.txt uninstall.cfg install.exe install.cfg; do
  [ -f "$dest/$f" ] && ok "installed $f" || fail "not installed: $f"
done
cmp -s "$dest/tnotepad.exe" "$here/examples/demo/files/tnotepad.exe" && ok "tnotepad.exe as packed" ||
  fail "tnotepad.exe differs from the packed file"
cmp -s "$dest/install.exe" "$install_exe" && ok "install.exe copied as shipped" || fail "install.exe differs"
windows="$WINEPREFIX/drive_c/windows"
for link in "Start Menu/Programs/Tovin Notepad/Tovin Notepad.lnk" "Desktop/Tovin Notepad.lnk"; do
  if [ -f "$windows/$link" ]; then
    if command -v lnkinfo >/dev/null; then
      target=$(lnkinfo "$windows/$link" | sed -n 's/^\s*Local path\s*:\s*//p' | head -1)
      [ "$target" = 'C:\Apps\Tovin Notepad\tnotepad.exe' ] && ok "link $link -> $target" ||
        fail "link $link points to '$target'"
    else
      ok "link $link"
    fi
  else
    fail "no link $link"
  fi
done
ini=$("$wine" cmd /c type 'C:\windows\tnotepad.ini' 2>/dev/null | tr -d '\r' || true)
grep -qx 'Program=C:\\Apps\\Tovin Notepad\\tnotepad.exe' <<<"$ini" && ok "INI entry Program" || fail "INI file: $ini"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovin Notepad 2.1'
name=$("$wine" reg query "$key" /v DisplayName 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ\s*//p')
[ "$name" = "Tovin Notepad 2.1" ] && ok "registry DisplayName" || fail "registry DisplayName: '$name'"
[ ! -s "$WINEPREFIX/drive_c/restart-requests.log" ] && ok "no restart requested" ||
  fail "a restart was requested: $(cat "$WINEPREFIX/drive_c/restart-requests.log")"

# The uninstall, as "Add/Remove Programs" starts it: the registered command line, run by the
# command interpreter from a batch file so that Windows, not this script, parses its quoting.
uninstall=$("$wine" reg query "$key" /v UninstallString 2>/dev/null | tr -d '\r' | sed -n 's/.*REG_SZ\s*//p')
[ "$uninstall" = '"C:\Apps\Tovin Notepad\uninstaller.exe" Tovin Notepad 2.1' ] && ok "UninstallString $uninstall" ||
  fail "UninstallString: '$uninstall'"
printf '@%s\r\n' "$uninstall" > "$WINEPREFIX/drive_c/windows/temp/uninstall.bat"
"$wine" cmd /c 'C:\windows\temp\uninstall.bat' &
uninstaller=$!
if window "Tovin - Uninstall" 100 >/dev/null; then
  settle
  shot 13-uninstall-question
  keys alt+r
  settle 3
  shot 14-uninstall-done
  keys alt+c
else
  fail "the uninstaller's window did not appear"
fi
for _ in $(seq 1 300); do kill -0 "$uninstaller" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$uninstaller" 2>/dev/null; then
  fail "the uninstaller did not end"
  kill "$uninstaller" 2>/dev/null || true
else
  wait "$uninstaller" && ok "the uninstaller ended" || fail "the uninstaller ended with status $?"
fi
# The running uninstaller cannot delete its own file: Windows does at the restart, with the
# destination that then holds nothing else. Wine's restart does what Windows would.
pending=$("$wine" reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations 2>/dev/null | tr -d '\r')
grep -qi 'uninstaller.exe' <<<"$pending" && ok "uninstaller.exe is deleted at the restart" ||
  fail "no deletion of uninstaller.exe at the restart: $pending"
"$wine" wineboot -r >/dev/null 2>&1 || true
snapshot > "$work/after.txt"
if diff "$work/before.txt" "$work/after.txt" > "$work/snapshot.diff"; then
  ok "the prefix is as it was before the installation"
else
  fail "the uninstall left the prefix changed:"
  cat "$work/snapshot.diff"
fi

echo "screenshots in $out"
if [ "$failures" -gt 0 ]; then
  echo "install.exe GUI test: $failures failed"
  exit 1
fi
echo "install.exe GUI test: passed"
