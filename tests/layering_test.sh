#!/usr/bin/env bash
# Include arrows point down only, and only platform/ talks to the operating system.
# layering_test.sh [SOURCE_ROOT]: prints every include that breaks a rule; fails if there is one.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
status=0

sources() {  # the C++ sources below the given folders that exist
  local dirs=()
  for d in "$@"; do [ -d "$d" ] && dirs+=("$d"); done
  [ ${#dirs[@]} -gt 0 ] || return 0
  find "${dirs[@]}" -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.cpp' -o -name '*.cc' \) | sort
}

# Project includes of the files below $1 whose folder is not one of the allowed ones ($2, a
# regex alternation).
only_includes() {
  local dir=$1 allowed=$2
  while IFS= read -r file; do
    grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | grep -vE "\"($allowed)/" |
      sed "s|^|$file:|" || true
  done < <(sources "$dir")
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

# Each lower layer includes itself and the layers below it, nothing else.
report "platform/ includes only platform/" < <(only_includes platform 'platform')
report "codec/ includes only platform/ and codec/" < <(only_includes codec 'platform|codec')
report "container/ includes only platform/, codec/, container/" < <(only_includes container 'platform|codec|container')
report "segment/ includes only platform/, codec/, container/, segment/" \
  < <(only_includes segment 'platform|codec|container|segment')

# The toolkit sits below the forms and the command line.
ui_upward() {
  while IFS= read -r file; do
    grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"(app|prepare|wizard|tools)/' "$file" | sed "s|^|$file:|" || true
  done < <(sources ui)
}
report "ui/ includes none of app/, prepare/, wizard/, tools/" < <(ui_upward)

# Operating-system headers belong to platform/. The one exception probes the host the tests
# run on (Wine), which no layer of the product may do.
os_headers='windows\.h|winbase\.h|winnt\.h|shellapi\.h|shlobj\.h|objbase\.h|io\.h|direct\.h|unistd\.h|sys/[^>]*|fcntl\.h|dirent\.h|spawn\.h|sched\.h|strings\.h|pthread\.h|termios\.h'
os_includes() {
  while IFS= read -r file; do
    case "$file" in
      platform/* | tests/support/wine_check.cpp) continue ;;
    esac
    grep -niE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($os_headers)>" "$file" | sed "s|^|$file:|" || true
  done < <(sources codec container segment app prepare wizard ui tools tests bench fuzz examples)
}
report "only platform/ includes operating-system headers" < <(os_includes)

exit $status
