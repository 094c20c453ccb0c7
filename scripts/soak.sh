#!/usr/bin/env bash
# Soak run: builds the release configuration and runs the main window on the
# offscreen platform against the emulated KX-RD4 (as kxrd4-pc --demo does) for
# an 8-hour shift of StatusPoll replies (1 150 000, 40 per second), fed as fast
# as the window takes them, with its chart running and a program sent and read
# back after every 1 000 replies. Prints the resident memory after 100 000
# replies and at the end (limit: 20 MB growth) and whether every transfer
# completed with the program intact; exits non-zero otherwise.
#
# Usage: scripts/soak.sh [REPLIES]
# Not part of the test command: it takes several minutes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset release >/dev/null
nice cmake --build --preset release -j"$(nproc)" --target kx_soak >/dev/null
QT_QPA_PLATFORM=offscreen build/release/bench/kx_soak "$@"
