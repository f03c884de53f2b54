#!/bin/bash
# Installs what is missing, builds the jukebox and starts it on the demo
# cabinet in demo/cabinet.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
mkdir -p demo/cabinet
exec build/bin/melodeck "$PWD/demo/cabinet"
