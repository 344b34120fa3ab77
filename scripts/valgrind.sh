#!/usr/bin/env bash
# Runs a program under valgrind's memcheck with the project's suppressions (the loader's
# $ORIGIN false positive): scripts/valgrind.sh build/zopath info shape.txt
# Exits 99 on any memory error or leak, else with the program's own status.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
exec valgrind --quiet --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
  --suppressions="$here/valgrind.supp" "$@"
