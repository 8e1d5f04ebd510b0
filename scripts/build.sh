#!/usr/bin/env bash
# Configures and builds Quillmere into build/ (the program lands in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
# A compiler cache, when the machine has one, makes rebuilds of other checkouts quick.
command -v ccache >/dev/null 2>&1 && generator+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --parallel "$(nproc)"
