#!/usr/bin/env bash
# Runs the mutation check on the committed HEAD: small changes are made to the library's sources
# one at a time, and each must make some test fail. Slow (a rebuild and a test run per change),
# so CI does not run it. See docs/TESTING.md for how to read the survivors.
#
# Usage: scripts/mutants.sh [--n 200] [--seed 1] [--files 'src/<folder>/*.cpp'] [--asan]
#        [any further option of the mutants tool]
# The tool is found through $ZO_MUTANTS, else as shared/tools/mutants next to a parent folder.
# The clone is kept in $ZO_MUTANTS_DIR (default ../<repo>-mutants), so reruns build less.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$(pwd)

tool=${ZO_MUTANTS:-}
dir=$repo
while [[ -z "$tool" && "$dir" != "/" ]]; do
  dir=$(dirname "$dir")
  [[ -x "$dir/shared/tools/mutants" ]] && tool="$dir/shared/tools/mutants"
done
if [[ -z "$tool" ]]; then
  echo "mutants tool not found: set ZO_MUTANTS to its path" >&2
  exit 2
fi
if [[ -n "$(git status --porcelain --untracked-files=no)" ]]; then
  echo "note: uncommitted changes are not checked; the tool clones the committed HEAD" >&2
fi

# Benchmarks are not tests; test programs need no relink when only the library changed; a
# mutant that hangs or fails stops the test run early.
cmake_args="-DCMAKE_BUILD_TYPE=Release -DZO_BENCH=OFF -DCMAKE_LINK_DEPENDS_NO_SHARED=ON"
keep=${ZO_MUTANTS_DIR:-$repo-mutants}
args=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --asan)
      cmake_args="-DCMAKE_BUILD_TYPE=Debug -DZO_SANITIZE=ON -DZO_BENCH=OFF"
      cmake_args+=" -DCMAKE_LINK_DEPENDS_NO_SHARED=ON"
      keep=${ZO_MUTANTS_DIR:-$repo-mutants-asan}
      ;;
    *) args+=("$1") ;;
  esac
  shift
done

export CMAKE_GENERATOR=${CMAKE_GENERATOR:-Ninja}
exec "$tool" --repo "$repo" --keep "$keep" --cmake-args "$cmake_args" \
  --test "ctest --test-dir build -j${ZO_JOBS:-2} --timeout 25 --stop-on-failure" "${args[@]}"
