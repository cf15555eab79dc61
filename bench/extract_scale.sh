#!/usr/bin/env bash
# Extraction against the number of files in one folder and the depth of a name: wall time and
# the folder reads and opens (strace -c) of `tovin extract` / `tovin archive extract`.
# Usage: bench/extract_scale.sh [TOVIN...]   (default: the release build's tovin)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
  cmake --preset release -G Ninja >/dev/null
  cmake --build --preset release --target tovin >/dev/null
  set -- "$PWD/build/release/tools/tovin"
fi
work=$(mktemp -d /tmp/tovin-scale-XXXXXX)
trap 'rm -rf "$work"' EXIT
pack=$1

flat() {  # n files of 100 bytes, or empty ones with "empty"
  local n=$1 dir=$work/src-$1$2
  mkdir -p "$dir/files"
  for ((i = 0; i < n; i++)); do
    if [ -n "$2" ]; then : > "$dir/files/f$i.txt"; else head -c 100 /dev/urandom > "$dir/files/f$i.txt"; fi
  done
  "$pack" -q pack -o "$work/pkg-$1$2" "$dir" >/dev/null
}
deep() {  # one file n folders deep
  local n=$1 rel=""
  for ((i = 0; i < n; i++)); do rel+="d/"; done
  mkdir -p "$work/deep/$rel"
  echo deep > "$work/deep/${rel}f"
  (cd "$work/deep" && "$pack" -q archive create "$work/deep-$n.vlx" d >/dev/null)
}

flat 2000 ""; flat 8000 ""; flat 40000 empty; deep 1000

run() {  # label, then the command; prints seconds and the syscall counts
  local label=$1; shift
  rm -rf "$work/out" "$work/root"; mkdir -p "$work/out" "$work/root"
  local t0 t1
  t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
  rm -rf "$work/out" "$work/root"; mkdir -p "$work/out" "$work/root"
  strace -c -f -o "$work/trace" "$@" >/dev/null 2>&1 || true
  local getdents openat
  getdents=$(awk '$NF == "getdents64" { print $4 }' "$work/trace")
  openat=$(awk '$NF == "openat" { print $4 }' "$work/trace")
  printf '  %-28s %8.2f s  getdents64 %8s  openat %8s\n' "$label" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" "${getdents:-0}" "${openat:-0}"
}

for tovin in "$@"; do
  echo "$tovin"
  run "flat 2,000 files" "$tovin" -q --root "$work/root" extract -C "$work/out" "$work/pkg-2000"
  run "flat 8,000 files" "$tovin" -q --root "$work/root" extract -C "$work/out" "$work/pkg-8000"
  run "40,000 empty files" "$tovin" -q --root "$work/root" extract -C "$work/out" "$work/pkg-40000empty"
  run "a name 1,000 folders deep" "$tovin" -q --root "$work/root" archive extract -C "$work/out" "$work/deep-1000.vlx"
done
