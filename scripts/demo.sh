#!/usr/bin/env bash
# Builds the library and runs the example host program. Installs missing packages first.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source scripts/common.sh

scripts/install-deps.sh

zo_configure build -DCMAKE_BUILD_TYPE=Release -DZO_WERROR="$(zo_werror)"
cmake --build build -j "${ZO_JOBS:-2}" --target zo_example
echo
build/zo_example
