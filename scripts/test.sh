#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: all of them but the
# kernel test under ASan+UBSan (widget tests on the offscreen platform); the
# file tests once more as an unprivileged user, so the permission cases run
# instead of being skipped; the code without widgets under TSan; every fuzz
# target for 15 seconds (scripts/fuzz.sh); the Debian package's install test
# on Debian 12 and 13 when the packaging changed; the portability check; the
# Windows build under Wine; the release build of every target and its tests
# (the kernel test aside) inside a root of the other Debian release (12 or 13,
# cached, see scripts/debian-root.sh), so that what breaks the other compiler
# or Qt is seen; then the release build of every target, benchmarks included,
# with every test including the kernel test under QEMU. Each stage prints its
# time; CTest's summary comes last.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

stage_start=$SECONDS
stage() {
  local now=$SECONDS
  if [ -n "${stage_name:-}" ]; then
    echo "== ${stage_name}: $((now - stage_start)) s (total ${now} s)"
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

stage "Debian package: install test on fresh Debian 12 and 13 roots (when the packaging changed)"
bash scripts/install-test.sh --if-changed --suite bookworm
bash scripts/install-test.sh --if-changed --suite trixie

stage "Portability: the window's sources include no Linux or POSIX header"
bash scripts/check-portable-includes.sh

stage "Windows: MinGW-w64 cross build (with widgets once a Qt for Windows is cached), tests under Wine"
bash scripts/windows-test.sh

# The release this machine does not run: Debian 13 on a Debian 12 machine and
# the other way round (any other system: Debian 13).
# KXRD4_OTHER_RELEASE names another release, or "none" to leave the stage out
# (a run that is itself inside such a root, for example).
this_release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
other_release=trixie
[ "$this_release" = trixie ] && other_release=bookworm
other_release=${KXRD4_OTHER_RELEASE:-$other_release}
stage "Release build and tests (kernel test aside) in a Debian root of $other_release"
if [ "$other_release" = none ]; then
  echo "skipped (KXRD4_OTHER_RELEASE=none)"
else
  bash scripts/debian-root.sh --suite "$other_release" -- \
    bash scripts/release-tests.sh "build/$other_release/release"
fi

stage "Release: every target, benchmarks included"
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"

stage "Windows zip under Wine (when a Qt for Windows is cached)"
# It needs Qt cross-built for Windows, which takes about half an hour: it runs
# only when scripts/windows-qt.sh has put that Qt into its cache.
bash scripts/windows-check.sh

# The last stage's time is CTest's own "Total Test time", so its summary
# closes the output.
stage "Release: every test"
ctest --preset release -j"$jobs"
