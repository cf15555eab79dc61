#!/usr/bin/env bash
# Installs the Debian packages this project builds and tests with; runs apt-get update once,
# and only when something is missing. A package named with an architecture ("wine32:i386")
# adds that architecture to dpkg first.
set -euo pipefail
# --demo: only what building tovin needs (the README's first command); otherwise the test and
# fuzzing tools too. libncurses-dev: the terminal backend; ncurses-term: its direct-colour
# terminal descriptions; tmux: the terminal its end-to-end tests drive.
if [ "${1:-}" = "--demo" ]; then
  shift
  want=(cmake ninja-build g++ nlohmann-json3-dev libncurses-dev ncurses-term "$@")
else
  want=(cmake ninja-build g++ nlohmann-json3-dev clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libncurses-dev
        ncurses-term tmux "$@")
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  for p in "${missing[@]}"; do
    case "$p" in
      *:*)
        arch=${p##*:}
        if [ "$arch" != "$(dpkg --print-architecture)" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
          dpkg --add-architecture "$arch"
        fi ;;
    esac
  done
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || {
    echo "== some packages could not be installed; trying them one by one"
    for p in "${missing[@]}"; do apt-get install -y -qq --no-install-recommends "$p" >/dev/null || echo "!! could not install $p"; done
  }
fi
