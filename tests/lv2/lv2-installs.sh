#!/bin/sh
# Installs the build into a fresh prefix and asks lv2ls what it finds there.
#   lv2-installs.sh BUILD-FOLDER WORK-FOLDER
set -eu
prefix=$2/lv2-prefix
rm -rf "$prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null
LV2_PATH=$prefix/lib/lv2 lv2ls | grep -x 'urn:tessmark:halvern'
