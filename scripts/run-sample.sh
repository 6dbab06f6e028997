#!/usr/bin/env bash
# Builds Velmora into build/, starts velmora-hostsim (the simulated host) on
# the bundled sample drawing and opens the Velmora window beside it. Where
# there is no display, it runs the window under Xvfb instead: gets the blocks,
# makes the thumbnails of all of them, writes a few blocks into the library,
# and saves a screenshot of both tabs and every thumbnail as a PNG.
# VELMORA_BUILD_DIR names another build folder than build/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${VELMORA_BUILD_DIR:-build}
scripts/install-deps.sh
cmake -S . -B "$build"
cmake --build "$build" -j2 --target velmora velmora-hostsim velmora-screenshot velmora-tool

bin=$build/bin
log=$build/hostsim.log
shot=$build/velmora-sample.png

# The host's window is registered in a private runtime folder of this run, so
# that no other simulated host answers in its place.
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
: >"$log"
"$bin/velmora-hostsim" samples/sample.dxf --log "$log" &
host=$!
cleanup() {
  kill "$host" 2>/dev/null && wait "$host" 2>/dev/null
  rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

for _ in $(seq 100); do
  "$bin/velmora-tool" host blocks >/dev/null 2>&1 && break
  kill -0 "$host" 2>/dev/null || { echo "run-sample: velmora-hostsim did not start; see $log" >&2; exit 1; }
  sleep 0.1
done
echo "run-sample: velmora-hostsim serves samples/sample.dxf as \"nanoCAD 5\" (its log: $log)"

if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
  echo "run-sample: opening Velmora; press \"nanoCAD からブロックを取得\" to list the sample's blocks."
  echo "run-sample: close the window to stop the simulated host."
  "$bin/velmora"
else
  echo "run-sample: no display; running the window under Xvfb"
  xvfb-run -a -s "-screen 0 1280x800x24" "$bin/velmora-screenshot" "$shot"
  echo "run-sample: screenshot of both tabs and all thumbnails: $(realpath "$shot")"
  echo "run-sample: the commands the window sent to the host are in $log"
fi
