#!/bin/bash
# Builds the jukebox and its tests with sanitizers, each kind in a build
# folder of its own:
#   asan  AddressSanitizer (leaks included) and UBSan, with clang, the fuzz
#         targets beside the tests, in build-asan;
#   tsan  ThreadSanitizer, for the tests of the threads' shared state
#         (playback, GUI, settings, money), in build-tsan.
set -euo pipefail
cd "$(dirname "$0")/.."
case ${1:-} in
  asan)
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
      -DCMAKE_CXX_COMPILER=clang++ -DMELODECK_SANITIZERS=address,undefined -DMELODECK_FUZZ=ON >/dev/null
    cmake --build build-asan -j"$(nproc)"
    ;;
  tsan)
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMELODECK_SANITIZERS=thread >/dev/null
    cmake --build build-tsan -j"$(nproc)" --target player_tests playback_tests config_tests state_tests \
      gui_tests gui_loop_tests gui_frame_tests gui_keys_tests gui_panels_tests gui_sdlgui_tests gui_menu_tests
    ;;
  *)
    echo "Usage: $0 asan|tsan" >&2
    exit 2
    ;;
esac
