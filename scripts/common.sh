# Shared by the scripts: configure a build folder once with Ninja, keeping whatever generator
# an existing folder was made with.
# Usage: zo_configure BUILD_DIR [cmake options...]
zo_configure() {
  local dir=$1
  shift
  local generator=()
  if [[ ! -f "$dir/CMakeCache.txt" ]] && command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
  fi
  cmake -S . -B "$dir" "${generator[@]}" "$@"
}

# Warnings are errors when running in CI.
zo_werror() {
  if [[ -n "${CI:-}" ]]; then echo ON; else echo OFF; fi
}
