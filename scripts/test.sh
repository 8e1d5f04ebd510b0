#!/usr/bin/env bash
# Installs what Quillmere needs, builds it and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build
ctest --output-on-failure --parallel 4 --timeout 600
