#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer + UndefinedBehaviorSanitizer) in
# build-fuzz/ and runs each for a bounded time (ZO_FUZZ_SECONDS, 60 by default) from its seed
# corpus. New inputs go to a scratch folder, never into the repository's corpus.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh

budget=${ZO_FUZZ_SECONDS:-240}
names=()
for source in fuzz/*_fuzz.cpp; do
  base=$(basename "$source" .cpp)
  names+=("${base%_fuzz}")
done
seconds=$((budget / ${#names[@]}))
((seconds >= 20)) || seconds=20
jobs=${ZO_JOBS:-2}

CC=clang CXX=clang++ zo_configure build-fuzz \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-g -O1" \
  -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DZO_WERROR="$(zo_werror)" \
  -DZO_SANITIZE=ON \
  -DZO_FUZZ=ON \
  -DZO_BENCH=OFF \
  -DBUILD_TESTING=OFF
cmake --build build-fuzz -j "$jobs" --target "${names[@]/%/_fuzz}"

for name in "${names[@]}"; do
  echo "==> Fuzzing ${name} for ${seconds} s"
  scratch=$(mktemp -d)
  if ! ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp" \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "build-fuzz/${name}_fuzz" -max_total_time="$seconds" -rss_limit_mb=4096 -timeout=30 \
    -print_final_stats=1 -artifact_prefix="$scratch/" "$scratch" "fuzz/corpus/${name}"; then
    echo "error: the ${name} fuzzer failed; its input is kept in $scratch" >&2
    exit 1
  fi
  rm -rf "$scratch"
done
