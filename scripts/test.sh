#!/usr/bin/env bash
# Installs what Quillmere needs, builds it with its tests and runs the whole
# test suite. Warnings are errors here, so a change that brings one fails.
# The benchmarks are compiled too (not run), so that a change cannot break
# them unseen.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DQMR_BUILD_TESTS=ON -DQMR_BUILD_BENCHMARKS=ON -DQMR_WARNINGS_AS_ERRORS=ON
cd build
ctest --output-on-failure --parallel 4 --timeout 600
