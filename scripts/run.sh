#!/usr/bin/env bash
# Starts Quillmere; installs what it needs and builds it first when that is
# missing. A first start builds the program alone (the tests and benchmarks
# are built by scripts/test.sh and scripts/bench.sh). A later start needs no
# root: it only brings a build of its own up to date (one made by another
# user is started as it is).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh program
if [ ! -x build/bin/qmr ]; then
  settings=()
  # A build folder made before keeps what it builds besides the program.
  [ -f build/CMakeCache.txt ] || settings=(-DQMR_BUILD_TESTS=OFF -DQMR_BUILD_BENCHMARKS=OFF)
  bash scripts/build.sh "${settings[@]}" --target qmr
elif [ -w build ]; then
  cmake --build build --parallel "$(nproc)" --target qmr >/dev/null
fi
exec build/bin/qmr "$@"
