#!/usr/bin/env bash
# Installs the Debian 12 packages the build, tests, benchmarks and demo need. Does nothing
# when they are all installed already; otherwise runs apt-get (as root, or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  llvm binutils pkg-config libfreetype-dev libfontconfig-dev libpng-dev
  libcairo2-dev libagg-dev fonts-dejavu-core
  lib2geom-dev libboost-dev
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [[ "$status" != "install ok installed" ]]; then
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
