#!/usr/bin/env bash
# Starts Quillmere; installs what it needs and builds it first when that is
# missing. A later start needs no root: it only brings a build of its own
# up to date (one made by another user is started as it is).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if [ ! -x build/bin/qmr ]; then
  bash scripts/build.sh
elif [ -w build ]; then
  cmake --build build --parallel "$(nproc)" >/dev/null
fi
exec build/bin/qmr "$@"
