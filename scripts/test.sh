#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: all of them but the
# kernel test under ASan+UBSan (widget tests on the offscreen platform), the
# code without widgets under TSan, the Windows build without widgets under
# Wine, then the full debug build with every test including the kernel test
# under QEMU. Before the debug build, the Debian package's install test when the
# packaging changed. CTest's summary comes last.
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

echo "== Debian package: install test on a fresh Debian 12 (when the packaging changed)"
bash scripts/install-test.sh --if-changed

echo "== Portability: the window's sources include no Linux or POSIX header"
bash scripts/check-portable-includes.sh

echo "== Windows: MinGW-w64 cross build without widgets, tests under Wine"
bash scripts/windows-test.sh

echo "== Debug: every test"
cmake --preset debug >/dev/null
cmake --build --preset debug -j"$jobs"
ctest --preset debug -j"$jobs"
