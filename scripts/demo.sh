#!/usr/bin/env bash
# The first thing to run on a fresh clone: installs the few packages the build needs, builds
# the library and the zopath tool, writes the gallery (every mask mode, the editor view,
# transforms) into gallery/, runs the example host, and says where the gallery is.
#   ZO_GALLERY=DIR  write the gallery elsewhere      ZO_JOBS=N  parallel build jobs (2)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh

scripts/install-deps.sh demo

# A fresh build folder is configured without the tests and benchmarks (their packages are
# the test and benchmark scripts' business); an existing one keeps its settings.
options=(-DCMAKE_BUILD_TYPE=Release -DZO_WERROR="$(zo_werror)")
if [[ ! -f build/CMakeCache.txt ]]; then
  options+=(-DBUILD_TESTING=OFF -DZO_BENCH=OFF)
fi
zo_configure build "${options[@]}"
cmake --build build -j "${ZO_JOBS:-2}" --target Zo32path zopath zo_example

gallery=${ZO_GALLERY:-gallery}
echo
echo "==> Writing the gallery"
build/zopath demo "$gallery"

echo
echo "==> Running the example host (examples/host_example.c)"
build/zo_example

index=$(cd "$gallery" && pwd)/index.html
echo
echo "The gallery is ready: $index"
echo "Open it in a browser, e.g. 'xdg-open $index', or file://$index"
