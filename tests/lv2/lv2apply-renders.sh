#!/bin/sh
# Renders a file through the LV2 bundle with Debian's command-line LV2 host.
#   lv2apply-renders.sh RENDER-TOOL VST-PLUGIN WORK-FOLDER LV2-BUNDLE
set -eu
render=$1 plugin=$2 work=$3 bundle=$4
"$render" --plugin "$plugin" --force --demo "$work/lv2-in.wav" --seconds 1 --format float >/dev/null 2>&1
rm -f "$work/lv2-out.wav"
LV2_PATH=$(dirname "$bundle") lv2apply -i "$work/lv2-in.wav" -o "$work/lv2-out.wav" -c distortion 80 urn:tessmark:halvern
test -s "$work/lv2-out.wav"
