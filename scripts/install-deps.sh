#!/usr/bin/env bash
# Installs the Debian packages a build needs, only those not yet present.
# Usage: install-deps.sh native|windows|all
set -euo pipefail

native=(cmake make g++ pkg-config libgtest-dev libbenchmark-dev libsndfile1-dev libcli11-dev libfreetype-dev libfontconfig-dev libpng-dev libxcb1-dev libxcb-shm0-dev libxcb-keysyms1-dev libxcb-xtest0-dev lv2-dev liblilv-dev lilv-utils sordi fonts-liberation xvfb clang libclang-rt-14-dev)
windows=(g++-mingw-w64-x86-64 wine wine64 xvfb)
# A real VST 3 host, whose scanner the tests load the bundle with.
hosts=(ardour)

case "${1:-all}" in
  native) wanted=("${native[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  all) wanted=("${native[@]}" "${windows[@]}" "${hosts[@]}") ;;
  *) echo "usage: $0 native|windows|all" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
