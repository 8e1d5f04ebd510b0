#!/usr/bin/env bash
# Replays inputs that once showed undefined behaviour through the fuzz
# target built to stop at it (qmr_fuzz_replay). The first byte
# of each input picks the file-name extension (see FuzzImageLoad.cpp).
set -euo pipefail
replay=$1
inputs=$(mktemp -d)
trap 'rm -rf "$inputs"' EXIT
# A WBMP whose sides take the most bits they can (35): the completeness
# check multiplied them past 64 bits.
printf '\x0c\x00\x00\xff\xff\xff\xff\x7f\xff\xff\xff\xff\x7f' >"$inputs/wbmp-widest"
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 QT_QPA_PLATFORM=offscreen "$replay" "$inputs"
