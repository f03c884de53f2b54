#!/bin/bash
# Start-up time of the jukebox on the demo cabinet (45 tracks) and on the
# same cabinet with a generated catalogue of TRACKS tracks, each the median of
# RUNS runs alternating, on a private Xvfb screen. A run is timed from the
# start of the process until it enters its main loop, the moment it writes
# its "shutdowncheck" marker, right before the first frame is drawn.
# With OLD_BUILD, an older build's melodeck is timed too, in the same run.
# Usage: bench/startup.sh [BUILD_DIR]   TRACKS=1000000 RUNS=7 OLD_BUILD=DIR
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/cabinets.sh
runs=${RUNS:-7}

# Milliseconds from start to the main loop of one run of melodeck $1 in
# cabinet $2; its peak memory half a second later goes to $2.rss, and the run
# is ended then (with its process group, its own).
startup() {
  local melodeck=$1 cabinet=$2
  rm -f "$cabinet/shutdowncheck"
  local start=$EPOCHREALTIME
  DISPLAY=$display setsid "$melodeck" "$cabinet" >/dev/null 2>&1 &
  local pid=$!
  while [ ! -e "$cabinet/shutdowncheck" ]; do sleep 0.002; done
  local end=$EPOCHREALTIME
  sleep 0.5
  awk '/VmHWM/ { print $2 }' "/proc/$pid/status" >"$cabinet.rss"
  kill -- "-$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}

# The figures of one build, $1.
figures() {
  local melodeck=$1/bin/melodeck demo=() large=()
  startup "$melodeck" "$work/demo" >/dev/null
  startup "$melodeck" "$work/large" >/dev/null
  for _ in $(seq "$runs"); do
    demo+=("$(startup "$melodeck" "$work/demo")")
    large+=("$(startup "$melodeck" "$work/large")")
  done
  local d l
  d=$(printf '%s\n' "${demo[@]}" | median)
  l=$(printf '%s\n' "${large[@]}" | median)
  echo "$1:"
  awk -v l="$l" -v d="$d" -v t="$tracks" 'BEGIN { printf "  start-up, %d tracks %8.1f ms, demo %8.1f ms, %5.2fx\n", t, l, d, l / d }'
  echo "  peak memory half a second into the main loop: demo $(($(cat "$work/demo.rss") / 1024)) MiB," \
    "$tracks tracks $(($(cat "$work/large.rss") / 1024)) MiB"
}

figures "$build"
[ -n "${OLD_BUILD:-}" ] && figures "$OLD_BUILD"
true
