#!/bin/sh
# Installs the build into a fresh prefix and checks that Halvern.clap lands
# in the CLAP folder there, exporting its entry.
#   clap-installs.sh BUILD-FOLDER WORK-FOLDER CLAP-FOLDER
set -eu
prefix=$2/clap-prefix
rm -rf "$prefix"
cmake --install "$1" --prefix "$prefix" >/dev/null
test -f "$prefix/$3/Halvern.clap"
objdump -T -p "$prefix/$3/Halvern.clap" 2>/dev/null | grep -q clap_entry
