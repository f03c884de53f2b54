#!/bin/bash
# The sanitized test runs of CI: every test but the end-to-end and package
# ones (timed for an unsanitized program) under AddressSanitizer (leaks
# included) and UBSan, the playback, GUI, settings and money
# tests under ThreadSanitizer, then each fuzz target for the given seconds
# (30 by default).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build-sanitized.sh asan
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp \
  ctest --test-dir build-asan --output-on-failure -j2 -LE e2e
bash scripts/build-sanitized.sh tsan
TSAN_OPTIONS=halt_on_error=1 \
  ctest --test-dir build-tsan --output-on-failure -j2 -R '^(player_tests|playback_tests|config_tests|state_tests|gui_)'
bash scripts/fuzz.sh "${1:-30}"
