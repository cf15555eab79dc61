#!/usr/bin/env bash
# Two or more commands timed in turn, round after round (every other round in reverse), so that
# a machine whose speed drifts (a virtual one drifts by a third within minutes here) charges
# every contender alike. Before each run PREP is evaluated and what was written is synced; with
# --settle, as root, the page cache is dropped and the files under PATHS are read back into
# it, as side_by_side.sh does.
# Prints the best wall time and the best CPU time (task-clock) of each command.
# Usage: bench/ab.sh [--runs N] [--prep 'SHELL CODE'] [--settle 'PATHS'] 'COMMAND A' 'COMMAND B' ...
# Example: bench/ab.sh --prep 'rm -rf x' --settle p 'build/baseline/tovin -q extract -C x p' \
#            'build/release/tools/tovin -q extract -C x p'
set -euo pipefail
runs=5 prep=: settle=
while [ $# -gt 0 ]; do
  case $1 in
    --runs) runs=$2; shift 2 ;;
    --prep) prep=$2; shift 2 ;;
    --settle) settle=$2; shift 2 ;;
    -h|--help) sed -n '2,10p' "$0"; exit 0 ;;
    *) break ;;
  esac
done
[ $# -ge 2 ] || { echo "usage: bench/ab.sh [--runs N] [--prep CODE] [--settle PATHS] 'COMMAND A' 'COMMAND B' ..." >&2; exit 2; }
command -v perf >/dev/null || { echo "bench/ab.sh needs perf (Debian: linux-perf)" >&2; exit 2; }
build=$(cd "$(dirname "$0")/.." && pwd)/build
mkdir -p "$build"
stats=$(mktemp "$build/ab-XXXXXX")
trap 'rm -f "$stats"' EXIT
declare -a wall cpu
for ((round = 0; round < runs; round++)); do
  # Every other round runs the commands in reverse: the first run of a round came out up to 15 %
  # slower here, whichever command it was.
  for ((j = 1; j <= $#; j++)); do
    k=$(( round % 2 ? $# + 1 - j : j ))
    eval "$prep"
    sync
    if [ -n "$settle" ]; then
      if [ -w /proc/sys/vm/drop_caches ]; then echo 1 > /proc/sys/vm/drop_caches; fi
      # shellcheck disable=SC2086  # PATHS is a list
      find $settle -type f -exec cat {} + >/dev/null
    fi
    perf stat -e task-clock -o "$stats" -- sh -c "${!k}" >/dev/null 2>&1 || echo "FAILED: ${!k}" >&2
    w=$(awk '/seconds time elapsed/ { print $1 }' "$stats")
    out=$(awk '/task-clock/ { gsub(",", "", $1); print $1 }' "$stats")
    wall[k]=$(awk -v a="$w" -v b="${wall[k]:-1e9}" 'BEGIN { print (a < b) ? a : b }')
    cpu[k]=$(awk -v a="${out:-1e9}" -v b="${cpu[k]:-1e9}" 'BEGIN { print (a < b) ? a : b }')
  done
done
printf '%10s %10s  %s\n' "wall s" "cpu ms" command
for ((k = 1; k <= $#; k++)); do printf '%10.3f %10.0f  %s\n' "${wall[k]}" "${cpu[k]}" "${!k}"; done
