#!/usr/bin/env bash
# The DXF preview of drawings whose entities each lie on a layer of their own
# (declared in no LAYER table), at 20,000, 40,000 and 80,000 entities: the
# time should double with the input, not grow fourfold.
# Usage: bench/layer_scale.sh [BUILD_DIR] (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in 20000 40000 80000; do
  {
    printf '0\nSECTION\n2\nENTITIES\n'
    for ((i = 0; i < n; ++i)); do printf '0\nLINE\n8\nL%d\n10\n0\n20\n0\n11\n%d\n21\n1\n' "$i" "$i"; done
    printf '0\nENDSEC\n0\nEOF\n'
  } >"$work/layers.dxf"
  /usr/bin/time -f "$n entities on $n layers: %e s, peak %M KB" \
    "$bin/velmora-tool" preview "$work/layers.dxf" "$work/out.bmp"
done
