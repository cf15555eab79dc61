#!/usr/bin/env bash
# Extraction against the number of files in one folder and the depth of a name: wall and
# processor time (on a busy machine the processor time is the steadier figure) and the folder
# reads and opens (strace -c) of `tovin extract` / `tovin archive extract`.
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
deep() {  # one stored member n folders deep ("archive create" refuses names past 259 characters)
  python3 - "$1" "$work/deep-$1.vlx" <<'PY'
import struct, sys
n, out = int(sys.argv[1]), sys.argv[2]
name, data = b"d\\" * n + b"f", b"deep\n"
archive = b"VLXC\x1a" + b"NON" + struct.pack("<iBii", len(data), 1, 0, 0)
member = struct.pack("<hiHiiBii", len(name), 0x2A4320A3, 0x20, len(data), len(data), 0, sum(data), 0)
open(out, "wb").write(archive + member + name + data)
PY
}

flat 2000 ""; flat 8000 ""; flat 40000 empty; deep 2000

run() {  # label, then the command: wall and processor seconds, then the syscall counts
  local label=$1; shift
  rm -rf "$work/out"; mkdir -p "$work/out"
  /usr/bin/time -f "%e %U %S" -o "$work/time" "$@" >/dev/null 2>&1
  read -r wall user sys < "$work/time"
  rm -rf "$work/out"; mkdir -p "$work/out"
  strace -c -f -o "$work/trace" "$@" >/dev/null 2>&1 || true
  local getdents openat
  getdents=$(awk '$NF == "getdents64" { print $4 }' "$work/trace")
  openat=$(awk '$NF == "openat" { print $4 }' "$work/trace")
  printf '  %-26s wall %7.2f s  cpu %7.2f s  getdents64 %8s  openat %8s\n' "$label" "$wall" \
    "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "${getdents:-0}" "${openat:-0}"
}

for tovin in "$@"; do
  echo "$tovin"
  run "flat 2,000 files" "$tovin" -q extract -C "$work/out" "$work/pkg-2000"
  run "flat 8,000 files" "$tovin" -q extract -C "$work/out" "$work/pkg-8000"
  run "40,000 empty files" "$tovin" -q extract -C "$work/out" "$work/pkg-40000empty"
  run "a name 2,000 folders deep" "$tovin" -q archive extract -C "$work/out" "$work/deep-2000.vlx"
done
