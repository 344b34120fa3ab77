#!/usr/bin/env bash
# Builds and runs every test twice: an optimised build (build/) and an AddressSanitizer +
# UndefinedBehaviorSanitizer build (build-asan/), then runs each libFuzzer target for a bounded
# time (scripts/fuzz.sh, build-fuzz/). Installs missing packages first.
# Stops at the first failure with a non-zero exit status.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh

scripts/install-deps.sh test bench

jobs=${ZO_JOBS:-2}
werror=$(zo_werror)

echo "==> Release build (build/)"
zo_configure build \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DZO_WERROR="$werror" \
  -DZO_SANITIZE=OFF \
  -DBUILD_TESTING=ON \
  -DZO_BENCH=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "==> AddressSanitizer + UndefinedBehaviorSanitizer build (build-asan/)"
zo_configure build-asan \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-g -O1" \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DZO_WERROR="$werror" \
  -DZO_SANITIZE=ON \
  -DZO_BENCH=OFF \
  -DBUILD_TESTING=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "==> The HTML reference (fails on undocumented exported functions)"
scripts/docs.sh

echo "==> libFuzzer targets (build-fuzz/), each for a bounded time"
scripts/fuzz.sh
