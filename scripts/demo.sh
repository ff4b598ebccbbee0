#!/usr/bin/env bash
# Builds the plug-in and the offline render host, then renders the built-in
# demo (an organ chord, slow, ramping to fast and back) through the plug-in.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake -S . -B build -DHALVERN_TOOLS=ON >/dev/null
cmake --build build -j2
build/bin/halvern-render build/halvern-demo.wav
echo "demo: build/halvern-demo.wav"
