#!/bin/sh
# Runs one fuzz harness.
#   run-fuzzer.sh HARNESS regressions DIR          every input in DIR once
#   run-fuzzer.sh HARNESS fuzz SECONDS WORK DIR...  fuzzing from the inputs in the DIRs
# In fuzz mode new inputs go to WORK (in the build tree, never the sources),
# and an input that fails is written there too, named in the output.
set -eu
harness=$1
mode=$2
case "$mode" in
  regressions)
    dir=$3
    set -- "$dir"/*
    [ -e "$1" ] || { echo "no inputs in $dir"; exit 0; }
    exec "$harness" "$@"
    ;;
  fuzz)
    seconds=$3 work=$4
    shift 4
    mkdir -p "$work"
    dirs=
    for dir in "$@"; do [ -d "$dir" ] && dirs="$dirs $dir"; done
    # shellcheck disable=SC2086 # the folders' names hold no spaces
    exec "$harness" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 \
      -artifact_prefix="$work/" "$work" $dirs
    ;;
esac
echo "usage: $0 HARNESS regressions DIR | HARNESS fuzz SECONDS WORK DIR..." >&2
exit 2
