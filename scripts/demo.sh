#!/usr/bin/env bash
# Builds the plug-in and the offline render host, renders the built-in demo
# (an organ chord, slow, ramping to fast and back) through the plug-in, and
# draws pictures of the editor: at 100 %, at 200 % and its rear panel.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh native
cmake -S . -B build -DHALVERN_TOOLS=ON >/dev/null
cmake --build build -j2
build/bin/halvern-render --force --demo build/halvern-demo.wav
build/bin/halvern-shot --horn 0.15 --drum 0.4 build/halvern-editor.png
build/bin/halvern-shot --scale 200 --horn 0.15 --drum 0.4 build/halvern-editor-200.png
build/bin/halvern-shot --scale 200 --rear --set brake=on build/halvern-editor-rear.png
echo "demo: build/halvern-demo.wav, editor pictures: build/halvern-editor.png (100 %)," \
  "build/halvern-editor-200.png (200 %), build/halvern-editor-rear.png (the rear panel)"
