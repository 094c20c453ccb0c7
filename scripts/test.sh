#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the code without widgets
# under ASan+UBSan and under TSan, then the full debug build with the widget
# tests (offscreen) and the kernel test under QEMU. CTest's summary comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

bash scripts/setup.sh

echo "== ASan+UBSan: model, files and device tests"
cmake --preset asan -DKXRD4_WITH_UI=OFF >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -LE kernel -j"$jobs"

echo "== TSan: model, files and device tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs"
ctest --preset tsan -LE kernel -j"$jobs"

echo "== Debug: every test"
cmake --preset debug >/dev/null
cmake --build --preset debug -j"$jobs"
ctest --preset debug -j"$jobs"
