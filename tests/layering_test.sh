#!/usr/bin/env bash
# Include arrows point down only, between folders too, and only platform/ (and a UI backend, for
# its own window system) talks to the operating system.
# layering_test.sh [SOURCE_ROOT]: prints every include that breaks a rule; fails if there is one.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
status=0

# The layers from the bottom up, and what each may include besides itself. A UI backend
# (ui/headless, ui/win32, ui/terminal) sits on the model; the model's own headers are the files
# directly in ui/. prepare/ and wizard/ are siblings: neither includes the other.
model='ui/[^/]+'
below_forms="platform/.*|codec/.*|container/.*|segment/.*|$model|common/.*"
declare -A allowed=(
  [platform]='platform/.*'
  [codec]='platform/.*|codec/.*'
  [container]='platform/.*|codec/.*|container/.*'
  [segment]='platform/.*|codec/.*|container/.*|segment/.*'
  [ui]="platform/.*|$model"
  [ui/headless]="platform/.*|$model|ui/headless/.*"
  [ui/win32]="platform/.*|$model|ui/win32/.*"
  [ui/terminal]="platform/.*|$model|ui/terminal/.*"
  [common]="$below_forms"
  [prepare]="$below_forms|prepare/.*"
  [wizard]="$below_forms|wizard/.*"
  [app]="$below_forms|prepare/.*|wizard/.*|app/.*|ui/(headless|win32|terminal)/.*"
  [tools]='(platform|codec|container|segment|ui|common|prepare|wizard|app|tools)/.*'
)
order=(platform codec container segment ui ui/headless ui/win32 ui/terminal common prepare wizard app tools)

sources() {  # the C++ sources directly in folder $1 (and its subfolders that are not layers)
  [ -d "$1" ] || return 0
  find "$1" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) | sort |
    while IFS= read -r file; do
      case "$1" in
        ui) case "$file" in ui/headless/* | ui/win32/* | ui/terminal/*) continue ;; esac ;;
      esac
      echo "$file"
    done
}

report() {  # rule text, then the offending lines on stdin
  local rule=$1 found
  found=$(cat)
  if [ -n "$found" ]; then
    echo "!! $rule"
    echo "$found"
    status=1
  fi
}

upward() {  # project includes of layer $1 outside what it may include
  local layer=$1
  while IFS= read -r file; do
    grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" |
      grep -vE "\"(${allowed[$layer]})\"" | sed "s|^|$file:|" || true
  done < <(sources "$layer")
}
for layer in "${order[@]}"; do
  report "$layer/ includes only ${allowed[$layer]//|/, }" < <(upward "$layer")
done

# Operating-system headers belong to platform/; a UI backend includes those of its own window
# system. The other exceptions are test support on the host the tests run on: the probe for
# Wine, and the pseudo-terminal the terminal backend is tested on; no layer of the product may
# do either.
os_headers='windows\.h|winbase\.h|winnt\.h|winuser\.h|commctrl\.h|shellapi\.h|shlobj\.h|objbase\.h|io\.h|direct\.h|unistd\.h|sys/[^>]*|fcntl\.h|dirent\.h|spawn\.h|sched\.h|strings\.h|pthread\.h|termios\.h|signal\.h|n?curses\.h|ncursesw/[^>]*'
window_system() {  # the OS headers a backend folder may include
  case "$1" in
    ui/win32/*) echo 'windows\.h|winuser\.h|commctrl\.h' ;;
    ui/terminal/*) echo 'n?curses\.h|ncursesw/[^>]*' ;;
    *) echo '' ;;
  esac
}
os_includes() {
  while IFS= read -r file; do
    case "$file" in
      platform/* | tests/support/wine_check.cpp | tests/support/pseudo_terminal.cpp) continue ;;
    esac
    own=$(window_system "$file")
    grep -niE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($os_headers)>" "$file" |
      { if [ -n "$own" ]; then grep -viE "<($own)>" || true; else cat; fi; } | sed "s|^|$file:|" || true
  done < <(find codec container segment ui common app prepare wizard tools tests bench fuzz examples -type f \
             \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) 2>/dev/null | sort)
}
report "only platform/ includes operating-system headers (a UI backend: its window system's)" < <(os_includes)

exit $status
