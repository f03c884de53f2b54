#!/bin/bash
# Builds the Debian package twice from scratch, each time from a copy of
# the source in another folder with the build folder placed differently
# (inside the source, then beside it), under OUT (by default
# /tmp/melodeck-reproducible), and compares the two: they must be the same
# byte for byte. The copies hold the source's files as git knows them,
# changes not yet committed included.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-/tmp/melodeck-reproducible}
rm -rf "$out"

# round SOURCE BUILD NUMBER
round() {
  mkdir -p "$1"
  git -C "$source_dir" ls-files -z --cached --others --exclude-standard |
    tar -C "$source_dir" --null -T - -cf - | tar -C "$1" -xf -
  cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELODECK_TESTS=OFF >/dev/null
  cmake --build "$2" -j"$(nproc)" >/dev/null
  cpack --config "$2/CPackConfig.cmake" -B "$2/package" >/dev/null
  cp "$2"/package/*.deb "$out/round$3.deb"
}
round "$out/first/melodeck" "$out/first/melodeck/build" 1
round "$out/second/source-elsewhere" "$out/second/build-beside" 2
sha256sum "$out"/round*.deb
if ! cmp "$out/round1.deb" "$out/round2.deb"; then
  command -v diffoscope >/dev/null && diffoscope "$out/round1.deb" "$out/round2.deb" || true
  exit 1
fi
echo "The two builds, from different folders, gave the same package."
