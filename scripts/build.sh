#!/usr/bin/env bash
# Configures and builds one configuration: build.sh DIR [cmake options...]
set -euo pipefail
dir=$1; shift
top=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$top" -B "$top/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$top/$dir" -j"$(nproc)" -- --no-print-directory >/dev/null
