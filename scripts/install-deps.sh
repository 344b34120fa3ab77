#!/usr/bin/env bash
# Installs the Debian 12 packages one job needs, and nothing else:
#   scripts/install-deps.sh demo    compilers, CMake, Ninja, FreeType, fontconfig, libpng
#   scripts/install-deps.sh test    the demo's, plus GoogleTest, clang with libFuzzer and the
#                                   sanitizers, Doxygen (the reference check), valgrind
#   scripts/install-deps.sh bench   the demo's, plus Google Benchmark and the peer libraries
#                                   the benchmarks compare with (Cairo, AGG)
#   scripts/install-deps.sh all     every set (the default; what CI installs)
# Does nothing when the packages are installed already; otherwise runs apt-get (as root, or
# through sudo), installing without recommended packages.
set -euo pipefail

demo=(build-essential cmake ninja-build pkg-config libfreetype-dev libfontconfig-dev libpng-dev
  fonts-dejavu-core)
test=(libgtest-dev clang libclang-rt-14-dev llvm binutils doxygen valgrind)
bench=(libbenchmark-dev libcairo2-dev libagg-dev libeigen3-dev)

packages=()
for set in "${@:-all}"; do
  case "$set" in
    demo) packages+=("${demo[@]}") ;;
    test) packages+=("${demo[@]}" "${test[@]}") ;;
    bench) packages+=("${demo[@]}" "${bench[@]}") ;;
    all) packages+=("${demo[@]}" "${test[@]}" "${bench[@]}") ;;
    *)
      echo "usage: scripts/install-deps.sh [demo|test|bench|all]..." >&2
      exit 2
      ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" && ! " ${missing[*]} " =~ " $package " ]]; then
    missing+=("$package")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "error: installing packages needs root (or sudo): ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
