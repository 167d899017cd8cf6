#!/usr/bin/env bash
# Installs what is missing, checks that the C++ sources are as clang-format leaves them, builds,
# and runs every test through CTest: the in-process tests and the real-window tests; then the in-process tests again built with AddressSanitizer and
# UndefinedBehaviorSanitizer; then the hand-written parsers under libFuzzer for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/deps.sh" test

echo "== formatering"
"$root/scripts/check-format.sh"

echo "== bygge och alla tester"
"$root/scripts/build.sh"
# BITVIK_TEST_EXCLUDE names CTest labels to leave out (a regular expression), said aloud.
exclude=()
if [ -n "${BITVIK_TEST_EXCLUDE:-}" ]; then
    echo "Utelämnas: testerna märkta $BITVIK_TEST_EXCLUDE"
    exclude=(--label-exclude "$BITVIK_TEST_EXCLUDE")
fi
ctest --test-dir build --output-on-failure -j2 "${exclude[@]}"

echo "== AddressSanitizer och UndefinedBehaviorSanitizer"
BUILD_DIR=build-asan BUILD_TYPE=Debug "$root/scripts/build.sh" -DBITVIK_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j2 --label-exclude e2e

echo "== libFuzzer: inställningsfilen, miniatyrernas PNG och namn, JPEG-huvudet"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBITVIK_FUZZ=ON -DBITVIK_FUZZ_SECONDS=${FUZZ_SECONDS:-30} >/dev/null
cmake --build build-fuzz --target fuzz_settings fuzz_thumbnailpng fuzz_thumbnailname fuzz_jpegheader
ctest --test-dir build-fuzz --output-on-failure -R '^fuzz_'
