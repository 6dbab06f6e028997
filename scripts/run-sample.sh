#!/usr/bin/env bash
# Builds Velmora into build/ and runs it on its bundled sample: the drawing
# store read from a block item list, printed as JSON.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build
cmake --build build -j2 --target velmora-tool
build/bin/velmora-tool dump-items samples/items/flange.txt
