#!/bin/bash
# The ledger's size and report times. Generates a ledger of ROWS rows (a
# busy cabinet's 1,000,000 rows, spread over DAYS days up to today) and one
# of YEAR_ROWS rows (about a year), both with the jukebox's own schema, and
# prints, each the median of RUNS runs in this one run:
#   - melodeck-report takings and plays for the last 30 days, the whole
#     process (Python's start included);
#   - beside them, sqlite3's own "SELECT count(*)" over the same rows, and
#     over the whole ledger;
#   - the size of the year's file, and what opening and reconciling either
#     ledger adds to a start;
#   - what a coin's ledger row costs the thread that credits it: the time of
#     Ledger::Append while the writer thread writes, and the cashbox's whole
#     crediting of a coin (tempdata saved) with the ledger written beside
#     the same without a ledger.
# Usage: bench/ledger.sh [BUILD_DIR]   ROWS=1000000 DAYS=1200 YEAR_ROWS=300000 RUNS=5
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
rows=${ROWS:-1000000}
days=${DAYS:-1200}
year_rows=${YEAR_ROWS:-300000}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median wall time in ms of RUNS runs of the command "$@".
median_ms() {
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s%N)
    "$@" >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
  done | sort -n | sed -n "$(((runs + 1) / 2))p"
}

mkdir -p "$work/big" "$work/year"
"$build/bench/ledger_measure" generate "$work/big/mldkhub.db" "$rows" "$days"
"$build/bench/ledger_measure" generate "$work/year/mldkhub.db" "$year_rows" 365

to=$(date +%F)
from=$(date -d "$to -29 days" +%F)
start=$(date -d "$from" +%s)
end=$(date -d "$to +1 day" +%s)
db=$work/big/mldkhub.db
month_rows=$(sqlite3 "$db" "SELECT count(*) FROM ledger WHERE at >= $start AND at < $end")

echo "ledger of $(sqlite3 "$db" 'SELECT count(*) FROM ledger') rows over $days days, $month_rows rows from $from to $to"
echo "melodeck-report takings, 30 days:    $(median_ms "$build/bin/melodeck-report" takings --from "$from" --to "$to" "$work/big") ms"
echo "melodeck-report plays, 30 days:      $(median_ms "$build/bin/melodeck-report" plays --from "$from" --to "$to" "$work/big") ms"
echo "sqlite3 count(*), the same rows:     $(median_ms sqlite3 "$db" "SELECT count(*) FROM ledger WHERE at >= $start AND at < $end") ms"
echo "sqlite3 count(*), the whole ledger:  $(median_ms sqlite3 "$db" 'SELECT count(*) FROM ledger') ms"
echo "python3 start alone:                 $(median_ms /usr/bin/python3 -c pass) ms"
echo "year of $year_rows rows: $(($(stat -c %s "$work/year/mldkhub.db") / 1024 / 1024)) MB"
for ledger in "$db" "$work/year/mldkhub.db"; do "$build/bench/ledger_measure" open "$ledger"; done
(cd "$work/year" && "$build/bench/ledger_measure" append 100000)
(cd "$work/year" && rm -f mldkhub.db* && "$build/bench/ledger_measure" coin 300)
