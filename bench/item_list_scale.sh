#!/usr/bin/env bash
# Item list thumbnails and dumps at 100k, 200k and 1M entities: seconds and
# peak resident memory of each command, run one after another on the same
# files. Usage: bench/item_list_scale.sh [BUILD_DIR] (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build}/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
measure() {  # label command...
  /usr/bin/time -f "$1: %e s, peak %M KB" "${@:2}" >/dev/null
}
for n in 100000 200000 1000000; do
  "$bin/make_item_list" "$n" "$work/items.txt"
  echo "== $n entities, $(stat -c %s "$work/items.txt") bytes"
  "$bin/item_list_read_peak" "$work/items.txt"
  measure "thumbnail" "$bin/velmora-tool" thumbnail "$work/items.txt" "$work/out.bmp"
  measure "dump-items --normalized" "$bin/velmora-tool" dump-items --normalized "$work/items.txt"
done
