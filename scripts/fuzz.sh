#!/usr/bin/env bash
# Builds the fuzz targets with clang (folder build-fuzz/) and runs each for SECONDS on a
# corpus seeded from tests/data, with the NC dictionary. A crash, a leak, a property that
# does not hold or an input that runs for more than 10 seconds fails the run; the input
# is left in build-fuzz/crashes/ and belongs in tests/data/fuzz/ from then on.
# Usage: scripts/fuzz.sh SECONDS
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="$1"
dir="$here/build-fuzz"
cc=clang-14; cxx=clang++-14
command -v "$cxx" >/dev/null 2>&1 || { cc=clang; cxx=clang++; }
CC="$cc" CXX="$cxx" "$here/scripts/build.sh" "$dir" -DKELVAN_FUZZ=ON
mkdir -p "$dir/crashes"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for target in "$dir"/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="$dir/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name: ${seconds} s"
  if ! "$target" "$corpus" "$here/tests/data" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -dict="$here/tests/fuzz/nc.dict" -artifact_prefix="$dir/crashes/$name-" -print_final_stats=1 \
      > "$dir/$name.log" 2>&1; then
    echo "$name FAILED; its log: $dir/$name.log"
    tail -40 "$dir/$name.log"
    failed=1
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$dir/$name.log" | tail -1 || true
  fi
done
exit $failed
