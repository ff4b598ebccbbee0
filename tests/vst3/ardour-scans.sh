#!/bin/sh
# Loads the VST 3 bundle with a real host's scanner (Ardour's), as the host
# does before it lists a plug-in, in a home of its own so no cache outside
# the build is touched, and checks that the scanner found the class the
# bundle's moduleinfo.json describes, with its stereo buses and MIDI input.
#   ardour-scans.sh SCANNER BUNDLE WORK-FOLDER
set -eu
scanner=$1 bundle=$2 home=$3/ardour-home
info=$bundle/Contents/Resources/moduleinfo.json
field() { sed -n "s/^ *\"$1\": \"\\([^\"]*\\)\".*/\\1/p" "$info" | head -n 1; }
cid=$(field CID) name=$(field Name) vendor=$(field Vendor)
rm -rf "$home"
mkdir -p "$home"
out=$(HOME="$home" XDG_CACHE_HOME="$home/cache" XDG_CONFIG_HOME="$home/config" \
  LD_LIBRARY_PATH="$(dirname "$scanner")" "$scanner" -f -v "$bundle" 2>&1)
echo "$out"
test -n "$cid"
echo "$out" | grep -q "Found Plugin: $name"
echo "$out" | grep -q "uid=\"$cid\" name=\"$name\" vendor=\"$vendor\""
echo "$out" | grep -q 'n_inputs="2" n_outputs="2" n_aux_inputs="0" n_aux_outputs="0" n_midi_inputs="1"'
