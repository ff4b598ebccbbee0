#!/usr/bin/env bash
# Builds everything, natively and for Windows, and runs every test: the
# native suites with ctest, the cross-built suites under Wine in a private
# prefix made for this run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh all

# A display of our own for the windows the tests open (X11 natively, Wine
# for the Windows build).
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  if [ -n "${WINEPREFIX:-}" ]; then rm -rf "$WINEPREFIX"; fi
}
trap cleanup EXIT

cmake -S . -B build -DHALVERN_WERROR=ON -DHALVERN_TOOLS=ON -DHALVERN_BENCH=ON >/dev/null
cmake --build build -j2
# One window suite at a time: they own the pointer and keyboard.
ctest --test-dir build --output-on-failure -j2 -LE window
ctest --test-dir build --output-on-failure -L window

# The native suites once more with the address, leak and undefined-behaviour
# sanitizers.
sanitize="-fsanitize=address,undefined,bounds-strict,float-cast-overflow -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer"
cmake -S . -B build-sanitize -DHALVERN_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$sanitize" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DCMAKE_MODULE_LINKER_FLAGS="$sanitize" >/dev/null
cmake --build build-sanitize -j2
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir build-sanitize --output-on-failure -j2 -LE window
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" ctest --test-dir build-sanitize --output-on-failure -L window

# The stress of each format from two threads once more, the plug-ins and
# the test built with the thread sanitizer: any write of the sound's state
# from a thread other than the audio thread's is reported and fails it.
tsan="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S . -B build-tsan -DHALVERN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS="$tsan" \
  -DCMAKE_EXE_LINKER_FLAGS="$tsan" -DCMAKE_MODULE_LINKER_FLAGS="$tsan" -DCMAKE_SHARED_LINKER_FLAGS="$tsan" >/dev/null
cmake --build build-tsan -j2 --target thread_stress_test
TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build-tsan --output-on-failure -L stress

# The fuzz harnesses, built with clang's libFuzzer and the address and
# undefined-behaviour sanitizers: every input that ever failed and the seeds
# once, then a few seconds of fuzzing each.
fuzz="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DHALVERN_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHALVERN_FUZZ=ON \
  -DCMAKE_CXX_FLAGS="$fuzz" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_MODULE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-fuzz -j2 --target fuzz_harnesses
ctest --test-dir build-fuzz --output-on-failure -j2 -L fuzz

cmake -S . -B build-win -DHALVERN_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build build-win -j2

WINEPREFIX=$(mktemp -d /tmp/halvern-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >/dev/null 2>&1
# One test program at a time: the window tests own the mouse and keyboard.
ctest --test-dir build-win --output-on-failure
