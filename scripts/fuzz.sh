#!/usr/bin/env bash
# Bounded fuzzing of every fuzz target: fuzz.sh [SECONDS_PER_TARGET] (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
echo "== fuzzing, ${seconds}s per target"
cmake --preset fuzz -G Ninja >/dev/null
cmake --build --preset fuzz
# Crashes, leaks, timeouts and slow units go below build/, never into the source tree.
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
rm -rf build/fuzz/scratch  # left by runs that crashed

# Seeds for the writing targets: small archives and packages made by tovin itself, with members
# named like the links the targets plant in their folder.
seed() {
  local tovin=build/fuzz/tools/tovin work=build/fuzz/seeds
  rm -rf "$work"
  mkdir -p "$work/src/LINK" "$work/src/sub/deep" build/fuzz/corpus/archive_extract_fuzz \
    build/fuzz/corpus/package_expand_fuzz
  echo "through the folder link" >"$work/src/LINK/file"
  echo "over the file link" >"$work/src/flink"
  echo "through the dangling link" >"$work/src/dangling"
  seq 1 200 >"$work/src/sub/deep/numbers.txt"
  : >"$work/src/empty"
  for method in none rle lzh lh5; do
    for key in 0 0x0BADF00D; do
      local name=$method-$key
      "$tovin" archive create -q -m "$method" -k "$key" -C "$work/src" \
        "build/fuzz/corpus/archive_extract_fuzz/seed-$name.vlx" LINK flink dangling sub empty
    done
    "$tovin" pack -q --allow-incomplete -m "$method" -o "$work/pkg-$method" "$work/src"
    # flags (bit 0: test only; bit 2: expanded while copied), the segment payload size (0: one
    # segment; 256), the set's bytes
    for head in '\x00\x00\x00' '\x01\x00\x00' '\x00\x00\x01' '\x01\x00\x01' '\x04\x00\x01' '\x05\x00\x01'; do
      { printf "$head"; for f in "$work/pkg-$method"/tovinsetup.[0-9][0-9][0-9]; do tail -c +9 "$f"; done; } \
        >"build/fuzz/corpus/package_expand_fuzz/seed-$method-$(printf "$head" | od -An -tx1 | tr -d ' \n')"
    done
  done
}
# Seeds for setup_config_fuzz: configurations whose paths lead out of the machine, relative
# to the package folder, which lies beside the machine next to folder\kept.txt and victim.
seed_configs() {
  local dir=build/fuzz/corpus/setup_config_fuzz
  mkdir -p "$dir"
  printf '%s\r\n' '[Setup - Main]' 'Install Dir=out' 'Header=Seed' 'INI File=app.ini' 'Launch=<INSTALLDIR>app.exe' \
    'Folder=Seed' '[Directories]' 'D1=<INSTALLDIR>~' 'D2=<SUBDATA>~data' '[Files]' 'F1=app.exe~<INSTALLDIR>' \
    'F2=table.dat~<SUBDATA>' 'F3=link~<INSTALLDIR>' 'F4=flink~<INSTALLDIR>' 'F5=dangling~<INSTALLDIR>' \
    '[Files - OverWrite]' 'File #0=1' '[Desktop]' 'S=Seed~<INSTALLDIR>app.exe~X~X~<INSTALLDIR>app.exe' \
    '[INI - Setup]' 'I=Paths~Data~<SUBDATA>table.dat' >"$dir/seed-plain"
  printf '%s\r\n' '[Setup - Main]' 'Install Dir=out' 'INI File=..\victim' 'Launch=..\folder\SETUP.exe' \
    '[Directories]' 'D1=<INSTALLDIR>~' 'D2=<SUB1><X>~..\folder' 'D3=<ALT1>~..\..\..' '[Files]' \
    'F1=app.exe~<SUB1><X>' 'F2=license.txt~<ALT1>' '[INI - Setup]' 'I=S~K~<SUB1><X>kept.txt' >"$dir/seed-outside"
  printf '%s\r\n' '[Setup - Main]' 'Install Dir=out\CON.' 'Folder=NUL' '[Directories]' 'D1=<INSTALLDIR>~' \
    'D2=<SUB1>~dot. \aux' '[Files]' 'F1=app.exe~<SUB1>' '[Desktop]' 'S=..\..\x~<INSTALLDIR>app.exe~X~X~' \
    >"$dir/seed-names"
}
seed
seed_configs
for target in build/fuzz/fuzz/*_fuzz; do
  name=$(basename "$target")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  echo "-- $name"
  log=build/fuzz/$name.log
  if ! "$target" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 -timeout=30 \
      -artifact_prefix="$artifacts/$name-" "$corpus" >"$log" 2>&1; then
    tail -40 "$log"
    echo "!! $name found a failure (input kept in $artifacts)"
    exit 1
  fi
  grep -E '^Done' "$log" || true
done
