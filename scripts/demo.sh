#!/bin/bash
# Installs what is missing, builds the jukebox, makes the demo cabinet in
# demo/cabinet and starts the jukebox on it (on a virtual screen when there is
# no display to show it on).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
demo/make-cabinet demo/cabinet
if [ -z "${DISPLAY:-}" ]; then
  echo "No display found: the jukebox runs on a virtual screen (Xvfb); Ctrl-C ends it."
  exec xvfb-run -a -s "-screen 0 1024x768x24" build/bin/melodeck "$PWD/demo/cabinet"
fi
exec build/bin/melodeck "$PWD/demo/cabinet"
