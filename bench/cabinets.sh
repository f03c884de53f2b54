# Sourced by the whole-program benches from the project root, with their
# arguments: the build ($1, default build-rel), the demo cabinet and the demo
# with a generated catalogue of TRACKS tracks in a temporary folder removed
# at the end, a private Xvfb screen, and the median of a column of numbers.
build=$(realpath "${1:-build-rel}")
tracks=${TRACKS:-1000000}
work=$(mktemp -d)
display=:$((90 + RANDOM % 100))
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

CONFIGTOOL=$build/bin/melodeck-configtool demo/make-cabinet "$work/demo" >/dev/null
cp -r "$work/demo" "$work/large"
(cd "$work/large" && "$build/bench/catalogue_generate" db db $((tracks / 10)))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
