#!/usr/bin/env bash
# Builds Quillmere and runs its benchmarks; they print their own figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
for bench in build/bin/qmr_*bench; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" || echo "(failed: $?)"
done
