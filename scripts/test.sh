#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: all of them but the
# kernel test under ASan+UBSan (widget tests on the offscreen platform); the
# file tests once more as an unprivileged user, so the permission cases run
# instead of being skipped; the code without widgets under TSan; every fuzz
# target for 15 seconds (scripts/fuzz.sh); then the release build of every
# target, benchmarks included, with every test including the kernel test.
# Each stage prints its time; CTest's summary comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

stage_start=$SECONDS
stage() {
  local now=$SECONDS
  if [ -n "${stage_name:-}" ]; then
    echo "== ${stage_name}: $((now - stage_start)) s"
  fi
  stage_name=$1
  stage_start=$now
  echo "== $1"
}

stage "Set-up"
bash scripts/setup.sh

stage "ASan+UBSan: every test but the kernel test"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
ctest --preset asan -LE kernel -j"$jobs"

stage "Unprivileged user: file tests with permission cases"
bash scripts/test-unprivileged.sh build/asan

stage "TSan: model, files, device and emulator tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs"
ctest --preset tsan -LE kernel -j"$jobs"

stage "Fuzz: every target for 15 s"
bash scripts/fuzz.sh 15

stage "Release: every target, benchmarks included"
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"

stage "Release: every test"
echo "== total before the release tests: ${SECONDS} s"
ctest --preset release -j"$jobs"
