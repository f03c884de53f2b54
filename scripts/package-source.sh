#!/bin/bash
# Makes the Debian source package of the committed tree (HEAD): the
# project as the orig tarball, the debian/ folder packaging/debian/
# generates as the debian tarball, and the .dsc, in OUT (by default
# build/source-package). Files are dated from the commit, so that two runs
# give the same package.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$source_dir/build/source-package}
version=$(dpkg-parsechangelog -l "$source_dir/packaging/changelog" -S Version)
upstream=${version%-*}
tree=$out/melodeck-$upstream

rm -rf "$out"
mkdir -p "$out"
git -C "$source_dir" archive --format=tar --prefix="melodeck-$upstream/" HEAD |
  xz -6 -T1 >"$out/melodeck_$upstream.orig.tar.xz"
tar -xJf "$out/melodeck_$upstream.orig.tar.xz" -C "$out"
cmake -DOUT="$tree/debian" -P "$tree/packaging/debian/Generate.cmake"
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source_dir" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
(cd "$out" && dpkg-source --compression=xz -b "melodeck-$upstream")
rm -rf "$tree"
echo "Source package: $out/melodeck_$version.dsc"
