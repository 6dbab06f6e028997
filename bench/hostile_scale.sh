#!/usr/bin/env bash
# Hostile drawings on doubling inputs: the time of each case should double
# with the input, not grow fourfold, and its peak stay bounded. Cases:
#   layers    N entities, each on a layer of its own (declared nowhere)
#   escapes   one TEXT of N \U+ escapes, all different
#   longline  one value line of N MiB
#   nested    N references to a block of 1,000 lines, and 9 to a block of
#             1,000 references to it (nine million lines nested)
#   texts     N references to a block of 1,000 texts of 500 characters
#   glyphs    one TEXT of N distinct characters, 2000 x 2000 pixels
# Usage: bench/hostile_scale.sh [BUILD_DIR] [CASE...] (default build/, all).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build}/bin
shift || true
cases=("${@:-layers escapes longline nested texts glyphs}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

entities() { printf '0\nSECTION\n2\nENTITIES\n'; cat; printf '0\nENDSEC\n0\nEOF\n'; }

layers() {
  for ((i = 0; i < $1; ++i)); do printf '0\nLINE\n8\nL%d\n10\n0\n20\n0\n11\n%d\n21\n1\n' "$i" "$i"; done | entities
}
escapes() {
  { printf '0\nTEXT\n10\n0\n20\n0\n40\n1\n1\n'
    for ((i = 0; i < $1; ++i)); do printf '\\U+%04X' $((0x4E00 + i % 20000)); done
    printf '\n'; } | entities
}
longline() {
  { printf '0\nTEXT\n1\n'; head -c "$(($1 << 20))" /dev/zero | tr '\0' 'x'; printf '\n'; } | entities
}
nested() {
  local lines inner
  lines=$(for ((i = 0; i < 1000; ++i)); do printf '0\nLINE\n10\n%d\n11\n1\n' "$i"; done)
  inner=$(for ((i = 0; i < 1000; ++i)); do printf '0\nINSERT\n2\nL\n10\n%d\n' "$i"; done)
  printf '0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nL\n%s\n0\nENDBLK\n0\nBLOCK\n2\nN\n%s\n0\nENDBLK\n0\nENDSEC\n' \
    "$lines" "$inner"
  { for ((i = 0; i < $1; ++i)); do printf '0\nINSERT\n2\nL\n20\n%d\n' "$i"; done
    for ((i = 0; i < 9; ++i)); do printf '0\nINSERT\n2\nN\n10\n%d\n' "$i"; done; } | entities
}
texts() {
  local body value
  value=$(head -c 500 /dev/zero | tr '\0' 'w')
  body=$(for ((i = 0; i < 1000; ++i)); do printf '0\nTEXT\n10\n%d\n20\n0\n40\n1\n1\n%s\n' "$i" "$value"; done)
  printf '0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n2\nT\n%s\n0\nENDBLK\n0\nENDSEC\n' "$body"
  for ((i = 0; i < $1; ++i)); do printf '0\nINSERT\n2\nT\n10\n0\n20\n%d\n' "$i"; done | entities
}
glyphs() {
  # Centred on a drawing two units high: glyphs about 1,000 pixels high, the
  # text measured first and running far past the canvas.
  { printf '0\nTEXT\n10\n0\n20\n0\n11\n0\n21\n0\n72\n1\n40\n1\n1\n'
    for ((i = 0; i < $1; ++i)); do printf '\\U+%04X' $((0x4E00 + i)); done
    printf '\n0\nLINE\n10\n-1\n20\n-1\n11\n1\n21\n1\n'; } | entities
}

declare -A sizes=([layers]="20000 40000 80000" [escapes]="20000 40000 80000" [longline]="64 128 256"
                  [nested]="475 950 1900" [texts]="250 500 1000" [glyphs]="1024 2048 4096")
for name in ${cases[*]}; do
  for n in ${sizes[$name]}; do
    "$name" "$n" >"$work/$name.dxf"
    size=2000; [[ $name == glyphs ]] || size=120
    # The preview may end with the failure cross (exit 3): the cost is what counts.
    /usr/bin/time -f "$name $n: %e s, peak %M KB, file $(stat -c %s "$work/$name.dxf") bytes" \
      "$bin/velmora-tool" preview "$work/$name.dxf" "$work/out.png" --size "${size}x${size}" 2>&1 >/dev/null |
      grep -v '^DxfReport\|^velmora-tool' || true
  done
done
