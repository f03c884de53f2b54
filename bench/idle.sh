#!/bin/bash
# Idle CPU of the jukebox, in % of one core over DURATION s of its main loop
# with nothing to do, on a private Xvfb screen, beside two floors from the
# same run (bench/IdleLoop.cpp: the same GUI set up on the same cabinet, whose
# loop only reads input and sleeps, or also moves the marquee text rendered
# once, a pixel per step). Cabinets: the demo (45 tracks), and the demo with
# a generated catalogue of TRACKS tracks, with the first and with the last
# album of the all-music genre selected. Each figure is the median of RUNS
# runs; CPU time is read from /proc/<pid>/stat. With OLD_BUILD, an older
# build's melodeck is measured too, in the same run.
# Usage: bench/idle.sh [BUILD_DIR]   TRACKS=1000000 RUNS=3 DURATION=20 OLD_BUILD=DIR
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/cabinets.sh
runs=${RUNS:-3}
seconds=${DURATION:-20}

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Waits (up to a minute) until the command $2... succeeds, checking that
# process $1 still runs.
wait_for() {
  local pid=$1
  shift
  for _ in $(seq 600); do
    "$@" && return 0
    kill -0 "$pid" 2>/dev/null || { echo "idle.sh: the program ended early" >&2; return 1; }
    sleep 0.1
  done
  echo "idle.sh: timed out waiting for: $*" >&2
  return 1
}

# Selects the last album of the all-music genre: one album left of the first.
select_last_album() {
  local window
  window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name '^Melodeck$' | head -1)
  DISPLAY=$display xdotool windowfocus --sync "$window" key Left
}

# % of one core used by one run of the command $3... in cabinet $1, with the
# last album selected first when $2 is "last", measured over DURATION s from
# 3 s after its loop started. The run is ended then, with its process group,
# its own.
idle_cpu() {
  local cabinet=$1 select=$2
  shift 2
  rm -f "$cabinet/shutdowncheck" "$work/out"
  (cd "$cabinet" && DISPLAY=$display exec setsid "$@" >"$work/out" 2>&1) &
  local pid=$!
  wait_for "$pid" eval '[ -e "$cabinet/shutdowncheck" ] || grep -qsx listo "$work/out"'
  [ "$select" = last ] && select_last_album
  sleep 3
  local before after
  before=$(ticks "$pid")
  sleep "$seconds"
  after=$(ticks "$pid")
  kill -- "-$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  awk -v a="$before" -v b="$after" -v s="$seconds" -v hz="$(getconf CLK_TCK)" \
    'BEGIN { printf "%.2f\n", (b - a) / hz / s * 100 }'
}

# The median of RUNS runs of idle_cpu with the arguments.
figure() {
  for _ in $(seq "$runs"); do idle_cpu "$@" || exit 1; done | median
}

# Prints the figure of a run described by $1, made by figure with $2...
row() {
  local name=$1 value
  shift
  value=$(figure "$@")
  printf '  %-52s %6.2f %%\n' "$name" "$value"
}

echo "idle CPU, % of one core over $seconds s, median of $runs runs:"
row "floor: input and sleep only (demo)" "$work/demo" first "$build/bench/idle_loop" poll .
row "floor: marquee rendered once, a pixel per step (demo)" "$work/demo" first "$build/bench/idle_loop" marquee .
for melodeck in "$build/bin/melodeck" ${OLD_BUILD:+"$OLD_BUILD/bin/melodeck"}; do
  echo "$melodeck:"
  row "demo cabinet" "$work/demo" first "$melodeck" "$work/demo"
  row "$tracks tracks, first album of the all-music genre" "$work/large" first "$melodeck" "$work/large"
  row "$tracks tracks, last album of the all-music genre" "$work/large" last "$melodeck" "$work/large"
done
