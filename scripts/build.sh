#!/usr/bin/env bash
# Configures and builds Quillmere into build/ (the program lands in build/bin,
# the tests in build/tests). Arguments: CMake settings for the configuration
# (-DQMR_BUILD_TESTS=OFF and the like; a build folder keeps those it was
# given before) and `--target NAME` for each thing to build instead of
# everything.
set -euo pipefail
cd "$(dirname "$0")/.."
settings=()
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --target) targets+=("$2"); shift 2 ;;
    *) settings+=("$1"); shift ;;
  esac
done
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
# A compiler cache, when the machine has one, makes rebuilds of other checkouts quick.
command -v ccache >/dev/null 2>&1 && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${settings[@]}"
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build build --parallel "$(nproc)" --target "${targets[@]}"
else
  cmake --build build --parallel "$(nproc)"
fi
