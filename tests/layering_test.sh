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

# Every include line of the tree at once: FILE:LINE:TEXT.
includes=$(find platform codec container segment ui common prepare wizard app tools tests bench fuzz examples \
             -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) 2>/dev/null | sort |
           xargs -r grep -nHE '^[[:space:]]*#[[:space:]]*include' || true)

# One pass over every include line: the layer of its file, then whether the include is one
# that layer may have.
table=$(for layer in "${order[@]}"; do printf '%s\t%s\n' "$layer" "${allowed[$layer]}"; done)
os_headers='windows\.h|winbase\.h|winnt\.h|winuser\.h|commctrl\.h|shellapi\.h|shlobj\.h|objbase\.h|io\.h|direct\.h|unistd\.h|sys/[^>]*|fcntl\.h|dirent\.h|spawn\.h|sched\.h|strings\.h|pthread\.h|termios\.h|signal\.h|n?curses\.h|ncursesw/[^>]*'
found=$(awk -v table="$table" -v os="$os_headers" '
  BEGIN {
    n = split(table, rows, "\n")
    for (i = 1; i <= n; i++) { split(rows[i], f, "\t"); allowed[f[1]] = f[2] }
  }
  {
    file = $0; sub(/:.*/, "", file)
    text = $0; sub(/^[^:]*:[0-9]+:/, "", text)
    layer = file; sub(/\/.*/, "", layer)
    if (file ~ /^ui\/(headless|win32|terminal)\//) { layer = file; sub(/\/[^\/]*$/, "", layer) }
    if (match(text, /"[^"]*"/)) {
      target = substr(text, RSTART + 1, RLENGTH - 2)
      if ((layer in allowed) && target !~ ("^(" allowed[layer] ")$"))
        print "!! " layer "/ includes only " allowed[layer] "\n" $0
    }
    if (match(tolower(text), "<(" os ")>")) {
      header = tolower(text)
      if (file ~ /^platform\// || file == "tests/support/wine_check.cpp" || file == "tests/support/pseudo_terminal.cpp") next
      if (file ~ /^ui\/win32\// && header ~ /<(windows\.h|winuser\.h|commctrl\.h)>/) next
      if (file ~ /^ui\/terminal\// && header ~ /<(n?curses\.h|ncursesw\/[^>]*)>/) next
      print "!! only platform/ includes operating-system headers (a UI backend: its window system'"'"'s)\n" $0
    }
  }' <<<"$includes")
if [ -n "$found" ]; then
  echo "$found"
  status=1
fi

exit $status
