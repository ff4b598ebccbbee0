#!/bin/sh
# Installs the build into a fresh prefix and checks that the bundle
# Halvern.vst3 lands in the VST 3 folder there as hosts expect it: the
# module for the system, exporting the factory and the module entry and
# exit, and the moduleinfo.json.
#   vst3-installs.sh BUILD-FOLDER WORK-FOLDER VST3-FOLDER ARCH-FOLDER MODULE-NAME ENTRY EXIT
set -eu
prefix=$2/vst3-prefix
rm -rf "$prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null
bundle="$prefix/$3/Halvern.vst3"
module="$bundle/Contents/$4/$5"
test -f "$module"
test -f "$bundle/Contents/Resources/moduleinfo.json"
for symbol in GetPluginFactory "$6" "$7"; do
  objdump -T -p "$module" 2>/dev/null | grep -q "$symbol"
done
