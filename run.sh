#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelvan on the bundled sample program.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"
scripts/install-deps.sh
scripts/build.sh build
sample="$here/examples/sample.nc"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/kelvan "$sample"
fi
echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): Kelvan's window cannot open."
echo "Here is what kelvan-cli shows of the sample program $sample:"
echo
build/kelvan-cli report tools "$sample" || true
echo
build/kelvan-cli report details "$sample" || true
echo
echo "Path list summary (kelvan-cli dump --summary):"
build/kelvan-cli dump --summary "$sample" || true
