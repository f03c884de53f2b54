#!/bin/bash
# Runs every fuzz target, one per seed folder of fuzz/corpus, for the given
# seconds each (30 by default) from its seeds; new inputs gather in
# build-asan/fuzz-corpus, so a later run goes on from them. A crash stops
# the run with the crashing input saved in build-asan/fuzz-crashes. Builds
# the targets first (clang, with AddressSanitizer and UBSan, in build-asan).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
bash scripts/install-deps.sh
bash scripts/build-sanitized.sh asan
# The targets work in scratch folders of their own: every path given them is
# absolute.
out=$PWD/build-asan
mkdir -p "$out/fuzz-crashes"
for seeds in "$PWD"/fuzz/corpus/*/; do
  target=$(basename "$seeds")
  mkdir -p "$out/fuzz-corpus/$target"
  echo "Fuzzing $target for ${seconds}s"
  "$out/fuzz/$target" -max_total_time="$seconds" -close_fd_mask=1 -print_final_stats=1 \
    -artifact_prefix="$out/fuzz-crashes/$target-" "$out/fuzz-corpus/$target" "$seeds" 2>&1 |
    grep -E '^(stat::number_of_executed_units|Done|==[0-9]+==|SUMMARY)' || true
  test "${PIPESTATUS[0]}" -eq 0
done
