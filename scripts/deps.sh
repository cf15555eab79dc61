#!/usr/bin/env bash
# Installs the Debian packages this project builds and tests with; runs apt-get update once,
# and only when something is missing.
set -euo pipefail
# libncurses-dev: the terminal backend; ncurses-term: its direct-colour terminal descriptions;
# tmux: the terminal its end-to-end tests drive.
want=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libncurses-dev ncurses-term tmux "$@")
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "== installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || {
    echo "== some packages could not be installed; trying them one by one"
    for p in "${missing[@]}"; do apt-get install -y -qq --no-install-recommends "$p" >/dev/null || echo "!! could not install $p"; done
  }
fi
