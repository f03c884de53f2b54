#!/bin/bash
# How smooth the jukebox's main loop stays at TRACKS tracks: for each case
# the program records every pass of its loop, the steps of a wait inside a
# message counting as passes, and the time of day each coin's credits were
# drawn (MELODECK_PASS_TIMES); coins are pressed through one X connection
# (coin_keys.py) that tells when each key went up. This prints the passes'
# p50, p99 and longest, and the coins' key-up to credits on screen, in ms. Cases: idle; browsing with the arrows; a cold
# change to a genre whose albums have covers of 4000 x 4000; 20 coins and
# purchases with every fsync slowed by 200 ms (strace); a three-letter
# search on the on-screen keyboard. With OLD_BUILD, an older build's
# melodeck runs the same cases in the same run.
# SETTINGS='key=value ...' adds settings to the cabinet's configuration, for
# example a fleet broker that is down.
# Usage: bench/smoothness.sh [BUILD_DIR]   TRACKS=1000000 OLD_BUILD=DIR CASES='idle ...' SETTINGS=...
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/cabinets.sh
cabinet=$work/large
slow_sync=(strace --seccomp-bpf -f -qq -o /dev/null -e trace=fsync -e inject=fsync:delay_enter=200000)

keys() { DISPLAY=$display xdotool key --delay "${DELAY:-60}" "$@"; }
coin() {
  echo c >&"${COINS[1]}"
  read -r sent <&"${COINS[0]}"
  echo "$sent" >>"$work/sent"
}

# Covers of 4000 x 4000 for the 48 albums the cover ring shows first in the
# second genre, and tracks that can play for the first 30 albums of the
# all-music genre. A genre lists its albums in catalogue order (the
# generator deals them out to the 20 genres in turn); the all-music genre
# files them by first letter, A to Y and then the rest, genre by genre.
prepare_media() {
  local song big
  song=$(find "$work/demo/media" -name '*.mp3' | head -1)
  big=$work/cover.jpg
  convert -size 4000x4000 gradient:navy-orange -quality 90 "$big"
  python3 - "$cabinet/media" "$song" "$big" "$((tracks / 10))" <<'PY'
import os, sys
media, song, big, albums = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
starts = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
def title(a): return "%c%05d Disco" % (starts[a % len(starts)], a)
def folder(a):
    path = os.path.join(media, "Genero %02d" % (a % 20), title(a))
    os.makedirs(path, exist_ok=True)
    return path
def all_music_place(a):
    first = title(a)[0]
    return (first if "A" <= first <= "Y" else "~", a % 20, a)
for a in sorted(range(albums), key=all_music_place)[:30]:
    for t in range(10):
        name = "%02d Tema.%s" % (t + 1, "cdg" if t == 9 else "mp3")
        os.link(song, os.path.join(folder(a), name))
second_genre = range(0, albums, 20)
for a in list(second_genre[:24]) + list(second_genre[-24:]):
    os.link(big, os.path.join(folder(a), "cover.jpg"))
PY
}

idle() { sleep 10; }
browse() { for _ in $(seq 4); do keys $(printf 'Right %.0s' $(seq 25)) Down Down Up Up; done; }
cold_genre_change() {
  keys g
  sleep 1
  keys Down Return
  sleep 5
}
purchases() {
  for _ in $(seq 20); do
    coin
    keys Right Down Return
    sleep 0.5
    keys Escape
  done
  sleep 2
}
search() {
  keys F3
  sleep 1
  keys Down Return Return Return Up Left Return
  sleep 3
}

# One run of case $2 with the melodeck $1, under the command $3... if any;
# prints its figures.
run_case() {
  local melodeck=$1 case=$2
  shift 2
  rm -rf "$cabinet/shutdowncheck" "$cabinet/tempdata" "$cabinet/cachecaratulas" "$work/times" "$work/out" \
    "$work/sent"
  touch "$work/sent"
  (cd "$cabinet" && DISPLAY=$display HOME=$work/home SDL_AUDIODRIVER=dummy MELODECK_PASS_TIMES=$work/times \
    exec setsid "$@" "$melodeck" "$cabinet" >"$work/out" 2>&1) &
  local pid=$! started=0
  for _ in $(seq 1200); do
    [ -e "$cabinet/shutdowncheck" ] && started=1 && break
    sleep 0.1
  done
  [ "$started" = 1 ] || { echo "smoothness.sh: $case did not start" >&2; cat "$work/out" >&2; exit 1; }
  DISPLAY=$display xdotool search --sync --onlyvisible --name '^Melodeck$' windowfocus --sync >/dev/null
  sleep 2
  coproc COINS { DISPLAY=$display exec /usr/bin/python3 bench/coin_keys.py; }
  "$case"
  eval "exec ${COINS[1]}>&-"
  # The jukebox itself, not strace in front of it, ends cleanly on TERM.
  pkill -TERM -s "$pid" -x melodeck
  wait "$pid" || true
  local passes coins
  passes=$(awk '$1 == "passes" { printf "%8.1f %8.1f %8.1f", $4 / 1000, $6 / 1000, $8 / 1000 }' "$work/times")
  coins=$(awk '$1 == "coin" { print $2 }' "$work/times" | paste "$work/sent" - | coin_waits)
  printf "  %-20s %s  %s\n" "$case" "$passes" "$coins"
}

# Pairs of key-up and credits drawn (µs of the day) in, p99 and longest
# wait out (ms), and any coin whose credits never showed.
coin_waits() {
  awk '$2 == "" { print "lost"; next } { printf "%.1f\n", ($2 - $1) / 1000 }' | sort -n |
    awk '$1 == "lost" { lost++; next }
      { waits[++n] = $1 }
      END {
        if (n) printf "%8.1f %8.1f (%d coins)", waits[int(n * 0.99 + 0.99)], waits[n], n
        else printf "       -        -"
        if (lost) printf "  %d COINS NOT SHOWN", lost
      }'
}

prepare_media
# Songs play to the end and the coin sounds without a sound card, as in the
# end-to-end tests.
mkdir -p "$work/home/.mplayer"
echo ao=null >"$work/home/.mplayer/config"
for setting in ${SETTINGS:-}; do printf '%s\n' "$setting" >>"$cabinet/configuration"; done
for melodeck in "$build/bin/melodeck" ${OLD_BUILD:+"$OLD_BUILD/bin/melodeck"}; do
  echo "$melodeck, $tracks tracks; passes p50, p99, longest; coin to credits on screen p99, longest (ms):"
  for case in ${CASES:-idle browse cold_genre_change purchases search}; do
    if [ "$case" = purchases ]; then run_case "$melodeck" "$case" "${slow_sync[@]}"; else run_case "$melodeck" "$case"; fi
  done
done
