#!/usr/bin/env bash
# Builds the plug-in and the offline render host, renders the built-in demo
# (an organ chord, slow, ramping to fast and back) through the plug-in, and
# draws a picture of the editor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake -S . -B build -DHALVERN_TOOLS=ON >/dev/null
cmake --build build -j2
build/bin/halvern-render --force --demo build/halvern-demo.wav
build/bin/halvern-shot --horn 0.15 --drum 0.4 build/halvern-editor.png
echo "demo: build/halvern-demo.wav, editor picture: build/halvern-editor.png"
