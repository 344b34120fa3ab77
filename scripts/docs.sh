#!/usr/bin/env bash
# Builds the HTML reference of the public headers with Doxygen into build-docs/html/ and fails
# when an exported function has no doc comment (Doxygen's "is not documented" warnings for
# functions). Other Doxygen warnings are counted and kept in build-docs/warnings.log.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

if ! command -v doxygen >/dev/null 2>&1; then
  echo "error: doxygen is missing (scripts/install-deps.sh test installs it)" >&2
  exit 1
fi
mkdir -p build-docs
rm -f build-docs/warnings.log
doxygen Doxyfile
warnings=build-docs/warnings.log
touch "$warnings"
if grep -E "\(function\).* is not documented" "$warnings" >&2; then
  echo "error: exported functions without a doc comment (above)" >&2
  exit 1
fi
others=$(grep -c "warning:" "$warnings" || true)
if ((others > 0)); then
  echo "note: $others other Doxygen warnings (struct fields, macros): $warnings"
fi
echo "The reference: $(pwd)/build-docs/html/index.html"
