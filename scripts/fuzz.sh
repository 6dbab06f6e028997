#!/usr/bin/env bash
# Runs one libFuzzer target: scripts/fuzz.sh NAME [SECONDS]
#   NAME     the target, with or without its "fuzz_" prefix (item_list, fuzz_item_list, ...)
#   SECONDS  how long to run; without it the fuzzer runs until stopped (Ctrl+C)
# Builds build-fuzz/ with clang first (--no-build skips that). The working
# corpus is build-fuzz/corpus/NAME/, seeded from fuzz/corpus/NAME/ (the repo
# is never written); crashing inputs land in build-fuzz/artifacts/NAME/.
set -euo pipefail
cd "$(dirname "$0")/.."

build=1
if [[ ${1:-} == --no-build ]]; then
  build=0
  shift
fi
name=${1:?usage: scripts/fuzz.sh NAME [SECONDS]}
target=fuzz_${name#fuzz_}
short=${target#fuzz_}
seconds=${2:-0}

if (( build )); then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVELMORA_FUZZ=ON -DVELMORA_BUILD_APP=OFF >/dev/null
  cmake --build build-fuzz -j2 --target "$target"
fi

corpus=build-fuzz/corpus/$short
artifacts=build-fuzz/artifacts/$short
mkdir -p "$corpus" "$artifacts"
for seeds in "fuzz/corpus/$short" "fuzz/corpus/$target"; do
  if [[ -d $seeds ]]; then cp -n "$seeds"/* "$corpus"/ 2>/dev/null || true; fi
done

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp}
args=(-max_len=16384 -timeout=25 -artifact_prefix="$artifacts/" -print_final_stats=1)
if (( seconds > 0 )); then args+=(-max_total_time="$seconds"); fi
exec "build-fuzz/bin/$target" "${args[@]}" "$corpus"
