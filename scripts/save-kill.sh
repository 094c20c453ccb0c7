#!/usr/bin/env bash
# Kills a saving process at random moments (default 1 000 times) for the
# program file and for config.ini, and checks after every kill that the file
# holds the old or the new complete content. Prints the figures.
#   scripts/save-kill.sh [KILLS]
set -euo pipefail
cd "$(dirname "$0")/.."
kills=${1:-1000}
cmake --preset debug >/dev/null
nice cmake --build --preset debug -j2 --target files_tests save_loop >/dev/null
KX_SAVE_KILLS=$kills build/debug/tests/files/files_tests --gtest_filter='Kinds/SaveKillTest.*' |
  grep -E 'kills|OK|FAILED|PASSED'
