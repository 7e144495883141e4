#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
#   ./test.sh                the normal build (folder build/)
#   ./test.sh --sanitize     the core, kelvan-cli and their tests with AddressSanitizer and
#                            UndefinedBehaviorSanitizer (folder build-asan/)
#   ./test.sh --fuzz SECONDS each fuzz target for SECONDS under libFuzzer with the
#                            sanitizers (clang, folder build-fuzz/); a crash fails the run
#                            and leaves its input in build-fuzz/crashes/
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$here"
scripts/install-deps.sh || { echo "TESTS FAILED: could not install the packages"; exit 1; }

if [ "${1:-}" = "--fuzz" ]; then
  seconds="${2:-60}"
  case "$seconds" in ''|*[!0-9]*) echo "usage: ./test.sh --fuzz SECONDS"; exit 2 ;; esac
  scripts/fuzz.sh "$seconds" || { echo "TESTS FAILED (fuzz)"; exit 1; }
  echo "ALL TESTS PASSED (fuzz, ${seconds} s a target)"
  exit 0
fi

dir=build; opts=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan; opts=(-DKELVAN_SANITIZE=ON -DKELVAN_GUI=OFF)
fi
scripts/build.sh "$dir" "${opts[@]}" || { echo "TESTS FAILED: the build failed"; exit 1; }
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if ctest --test-dir "$dir" --output-on-failure -j "$(nproc 2>/dev/null || echo 2)"; then
  echo "ALL TESTS PASSED ($dir)"
else
  echo "TESTS FAILED ($dir)"
  exit 1
fi
