#!/usr/bin/env bash
# Configures (once) and builds Kelvan in the given build folder.
# Usage: scripts/build.sh BUILD_DIR [extra cmake options...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dir="$1"; shift
gen=()
command -v ninja >/dev/null 2>&1 && gen=(-G Ninja)
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$dir" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
jobs="$(nproc 2>/dev/null || echo 2)"
cmake --build "$dir" --parallel "$jobs"
