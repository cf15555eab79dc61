#!/usr/bin/env bash
# lh5 here against 7-Zip, lhasa and jlha on a ~48 MB corpus of this machine's files (text and
# binaries mixed). Prints MB/s for each and the ratios. Usage: bench/side_by_side.sh [MB]
set -euo pipefail
cd "$(dirname "$0")/.."
mb=${1:-48}
bash scripts/deps.sh lhasa p7zip-full jlha-utils python3 >/dev/null
cmake --preset release -G Ninja >/dev/null
cmake --build --preset release --target tovin codec_bench >/dev/null
tovin=$PWD/build/release/tools/tovin
work=$(mktemp -d /tmp/tovin-bench-XXXXXX)
trap 'rm -rf "$work"' EXIT

# Half text (documentation), half binaries (programs and libraries), interleaved by file.
{
  find /usr/share/doc /usr/share/common-licenses /usr/include -type f -size -2M 2>/dev/null | sort | head -20000 > "$work/text.list"
  find /usr/bin /usr/lib/x86_64-linux-gnu -maxdepth 1 -type f -size -8M 2>/dev/null | sort > "$work/bin.list"
  paste -d '\n' "$work/text.list" "$work/bin.list" | grep -v '^$' | while read -r f; do cat "$f" 2>/dev/null || true; done
} | head -c $((mb * 1024 * 1024)) > "$work/corpus"
size=$(stat -c %s "$work/corpus")
echo "corpus: $size bytes from /usr/share/doc, /usr/include, /usr/bin, /usr/lib"

best() {  # best wall time of three runs, in seconds
  local best=999999 t0 t1
  for _ in 1 2 3; do
    t0=$(date +%s.%N); "$@" >/dev/null 2>&1; t1=$(date +%s.%N)
    best=$(awk -v a="$t0" -v b="$t1" -v m="$best" 'BEGIN { d = b - a; print (d < m) ? d : m }')
  done
  echo "$best"
}
rate() { awk -v s="$size" -v t="$1" 'BEGIN { printf "%.1f", s / 1048576 / t }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

cd "$work"
t_enc=$(best "$tovin" codec encode -m lh5 corpus corpus.lh5)
packed=$(stat -c %s corpus.lh5)
# A level-0 LHA archive around our stream, for the other decoders.
python3 - "$size" "$packed" <<'PY'
import struct, sys, binascii
size, packed = int(sys.argv[1]), int(sys.argv[2])
data = open('corpus', 'rb').read()
crc = 0
table = []
for i in range(256):
    c = i
    for _ in range(8):
        c = (c >> 1) ^ 0xA001 if c & 1 else c >> 1
    table.append(c)
for b in data:
    crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8)
name = b'corpus'
h = b'-lh5-' + struct.pack('<IIIBBB', packed, size, 0x2A4320A3, 0x20, 0, len(name)) + name + struct.pack('<H', crc)
with open('ours.lzh', 'wb') as f:
    f.write(bytes([len(h), sum(h) & 0xFF]) + h + open('corpus.lh5', 'rb').read() + b'\0')
PY
t_dec=$(best "$tovin" codec decode -m lh5 -s "$size" corpus.lh5 /dev/null)
t_7z=$(best 7z t ours.lzh)
t_lhasa=$(best lha t ours.lzh)
t_jlha=$(best sh -c 'rm -f j.lzh; jlha a j.lzh corpus')
jpacked=$(stat -c %s j.lzh)

printf '\n%-28s %8s %9s\n' "lh5" "seconds" "MB/s"
printf '%-28s %8.2f %9s\n' "decode, tovin" "$t_dec" "$(rate "$t_dec")"
printf '%-28s %8.2f %9s\n' "decode+CRC, 7z t" "$t_7z" "$(rate "$t_7z")"
printf '%-28s %8.2f %9s\n' "decode+CRC, lhasa t" "$t_lhasa" "$(rate "$t_lhasa")"
printf '%-28s %8.2f %9s\n' "encode, tovin" "$t_enc" "$(rate "$t_enc")"
printf '%-28s %8.2f %9s\n' "encode, jlha a" "$t_jlha" "$(rate "$t_jlha")"
echo
echo "decode: $(ratio "$t_7z" "$t_dec")x the speed of 7-Zip, $(ratio "$t_lhasa" "$t_dec")x lhasa"
echo "encode: $(ratio "$t_jlha" "$t_enc")x the speed of jlha"
echo "packed: tovin $packed bytes ($(ratio "$packed" "$size")), jlha $jpacked bytes ($(ratio "$jpacked" "$size"))"
