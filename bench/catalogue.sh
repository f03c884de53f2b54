#!/bin/bash
# Whole-process catalogue figures, each beside its baseline from the same run:
#   load "db"         vs a bare fgets loop over the same file (10k/100k/1M tracks)
#   configtool scan   vs a bare readdir walk of the same tree (100k files)
#   peak memory (max RSS) of the load.
# Each figure is the median of RUNS runs, measured and baseline alternating.
# With OLD_BUILD, the same figures of an older build follow each one, from the
# same run (its bench/catalogue_measure may be copied in from this one).
# Usage: bench/catalogue.sh [BUILD_DIR]   (a Release build)
#        SIZES="10000 100000" RUNS=9 CALLGRIND=1 OLD_BUILD=/tmp/old/build-rel bench/catalogue.sh build-rel
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build-rel}")
sizes=${SIZES:-"10000 100000 1000000"}
scan_tracks=${SCAN_TRACKS:-100000}
runs=${RUNS:-7}
measure=$build/bench/catalogue_measure
generate=$build/bench/catalogue_generate
configtool=$build/bin/melodeck-configtool
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Milliseconds of one run of the command, its output discarded.
millis() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null
  local end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f\n", (b - a) * 1000 }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Prints "measured baseline ratio" in milliseconds for two commands given as
# strings, run alternately RUNS times after one warm-up run each.
compare() {
  local measured=$1 baseline=$2 m=() b=()
  eval "$measured" >/dev/null
  eval "$baseline" >/dev/null
  for _ in $(seq "$runs"); do
    m+=("$(millis eval "$measured")")
    b+=("$(millis eval "$baseline")")
  done
  local mm bm
  mm=$(printf '%s\n' "${m[@]}" | median)
  bm=$(printf '%s\n' "${b[@]}" | median)
  awk -v m="$mm" -v b="$bm" 'BEGIN { printf "%8.1f ms %8.1f ms %6.2fx\n", m, b, m / b }'
}

# Peak memory (maximum resident set) of one run, in MiB.
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.1f", $1 / 1024 }'; }

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    awk '/Collected/ { print $NF }'
}

printf '%-28s %11s %11s %7s\n' "figure" "measured" "baseline" "ratio"
for tracks in $sizes; do
  dir=$work/db$tracks
  mkdir -p "$dir"
  (cd "$dir" && "$generate" db db $((tracks / 10)))
  printf '%-28s %s\n' "load db, $tracks tracks" "$(cd "$dir" && compare "$measure load" "$measure read")"
  [ -n "${OLD_BUILD:-}" ] &&
    printf '%-28s %s\n' "  older build" "$(cd "$dir" && compare "$OLD_BUILD/bench/catalogue_measure load" "$measure read")"
  printf '%-28s %8.1f MiB %7.1f MiB\n' "  peak memory" "$(cd "$dir" && peak "$measure" load)" "$(cd "$dir" && peak "$measure" read)"
  [ -n "${OLD_BUILD:-}" ] && printf '%-28s %8.1f MiB\n' "  older build" "$(cd "$dir" && peak "$OLD_BUILD/bench/catalogue_measure" load)"
  if [ "${CALLGRIND:-0}" = 1 ]; then
    printf '%-28s %11s %11s\n' "  instructions" "$(cd "$dir" && instructions "$measure" load)" \
      "$(cd "$dir" && instructions "$measure" read)"
    [ -n "${OLD_BUILD:-}" ] &&
      printf '%-28s %11s\n' "  older build" "$(cd "$dir" && instructions "$OLD_BUILD/bench/catalogue_measure" load)"
  fi
  rm -rf "$dir"
done

dir=$work/scan
mkdir -p "$dir"
(cd "$dir" && "$generate" tree media $((scan_tracks / 10)) && printf 'mediacontent=media\n' >configuration)
printf '%-28s %s\n' "configtool updatedb, $scan_tracks" "$(cd "$dir" && compare "$configtool updatedb" "$measure walk media")"
[ -n "${OLD_BUILD:-}" ] &&
  printf '%-28s %s\n' "  older build" "$(cd "$dir" && compare "$OLD_BUILD/bin/melodeck-configtool updatedb" "$measure walk media")"
printf '%-28s %s\n' "  against find" "$(cd "$dir" && compare "$configtool updatedb" "find media")"
