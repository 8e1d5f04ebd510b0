#!/usr/bin/env bash
# Builds Quillmere's benchmarks and runs them; each prints its own figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh -DQMR_BUILD_BENCHMARKS=ON --target qmr_resources \
  --target qmr_imgbench --target qmr_browserbench --target qmr_viewerbench --target qmr_startupbench
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "== decoding and thumbnails (one core)"
build/bin/qmr_imgbench --make 30 "$work/decode"
echo "== big pictures: huge 1-bit PNG, big PSD, TGA and PCX"
build/bin/qmr_imgbench --large "$work/large"
echo "== hard files: many pages, long animations, heavy metafiles"
build/bin/qmr_imgbench --hard "$work/hard"
echo "== thumbnail browser: 1,000 photos, then 10,000 entries"
build/bin/qmr_browserbench --make 1000
build/bin/qmr_browserbench --make 1000 --entries 10000
echo "== viewer: first frame and Next"
build/bin/qmr_viewerbench
echo "== start-up: a store another program holds, SIGTERM during a slow decode"
build/bin/qmr_startupbench
echo "== viewer: first frame of an EMF of 100 large polygons"
build/bin/qmr_viewerbench --emf
