#!/usr/bin/env bash
# Renders a menu, a form and a message box of the field book's look on the
# simulated terminal and writes them as PNG pictures (default: docs/).
#   scripts/render-screens.sh [OUTDIR] [SCALE]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/docs}
scale=${2:-3}
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" --target render_widgets -- --no-print-directory >/dev/null
"$top/build/platform/sim/render_widgets" "$out" "$scale"
