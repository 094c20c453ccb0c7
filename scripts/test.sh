#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: all of them but the
# kernel test under ASan+UBSan (widget tests on the offscreen platform), the
# code without widgets under TSan, then the full debug build with every test
# including the kernel test under QEMU. CTest's summary comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/setup.sh

echo "== ASan+UBSan: every test but the kernel test"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -LE kernel -j"$jobs"

echo "== TSan: model, files, device and emulator tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs"
ctest --preset tsan -LE kernel -j"$jobs"

echo "== Debug: every test"
cmake --preset debug >/dev/null
cmake --build --preset debug -j"$jobs"
ctest --preset debug -j"$jobs"
