#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for SECONDS (default 5)
# from its seed corpus: run.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-5}
build=${2:-$top/build-fuzz}
CC=clang CXX=clang++ cmake -S "$top/fuzz" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" -- --no-print-directory >/dev/null
for name in scanf htxml decoders project; do
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "-- fuzz_$name for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/fuzz_$name" -max_total_time="$seconds" -rss_limit_mb=2048 -artifact_prefix="$build/" \
    "$corpus" "$top/fuzz/seeds/$name" 2>"$build/fuzz_$name.log" \
    || { tail -40 "$build/fuzz_$name.log"; exit 1; }
  tail -1 "$build/fuzz_$name.log"
done
