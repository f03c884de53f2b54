#!/bin/bash
# Builds the Debian package twice from scratch in one folder (by default
# /tmp/melodeck-reproducible) and compares the two: they must be the same
# byte for byte.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/melodeck-reproducible}
rm -rf "$out"
mkdir -p "$out"
for round in 1 2; do
  rm -rf "$out/build"
  cmake -S "$source_dir" -B "$out/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELODECK_TESTS=OFF >/dev/null
  cmake --build "$out/build" -j"$(nproc)" >/dev/null
  cpack --config "$out/build/CPackConfig.cmake" -B "$out/build/package" >/dev/null
  cp "$out"/build/package/*.deb "$out/round$round.deb"
done
sha256sum "$out"/round*.deb
cmp "$out/round1.deb" "$out/round2.deb"
echo "The two builds gave the same package."
