#!/usr/bin/env bash
# The DXF preview at half, once and twice the benchmark file (about 44, 89 and
# 177 MB), each in its own process so that the peak memory is its own, and
# velmora-tool preview on the full file for the whole command.
# Usage: bench/dxf_scale.sh [BUILD_DIR] (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for scale in 0.5 1 2; do
  "$bin/dxf_scale" make "$scale" "$work/bench.dxf"
  "$bin/dxf_scale" "$work/bench.dxf"
  if [[ $scale == 1 ]]; then
    size=$(( $(stat -c %s "$work/bench.dxf") / 100000 ))
    /usr/bin/time -f "velmora-tool preview of the ${size%?}.${size: -1} MB file: %e s, peak %M KB" \
      "$bin/velmora-tool" preview "$work/bench.dxf" "$work/out.bmp"
  fi
done
