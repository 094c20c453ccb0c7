#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: all of them but the
# kernel test under ASan+UBSan (widget tests on the offscreen platform); the
# file tests once more as an unprivileged user, so the permission cases run
# instead of being skipped; the code without widgets under TSan; every fuzz
# target for 15 seconds, one a core (scripts/fuzz.sh); the Debian package's install test
# on Debian 12 and 13 when the packaging changed; the portability check; the
# Windows build under Wine; the release build of every target and its tests
# (the kernel test aside) inside a root of the other Debian release (12 or 13,
# cached, see scripts/debian-root.sh), so that what breaks the other compiler
# or Qt is seen; then the release build of every target, benchmarks included,
# with every test including the kernel test under QEMU, and every benchmark
# program for a moment (scripts/bench.sh --smoke). Every compile goes through
# ccache (one cache, which the other release's root shares), so a run after a
# change compiles what the change touched. The run sets the UTF-8 locale it
# needs itself. It ends with one table: each stage's time and tests, and the
# cache's hit rate.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
# Tests run two a core: most of their time they wait (timers, the emulated
# controller's replies, child processes), not compute.
test_jobs=$((jobs * 2))

# The same locale from any shell, a minimal container's empty environment
# included: file names outside ASCII (Wine maps them through it) and the tests'
# Polish texts need UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE

# One compiler cache for every build of this run, the other release's root
# included (it is bound there; its compilers differ, so its entries are its own).
export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/ccache}
export KXRD4_CCACHE_DIR=$CCACHE_DIR

logs=$(mktemp -d)
# A run that ends early still lets the Windows stage's installation (below)
# finish: an apt-get cut off halfway leaves dpkg to be repaired by hand.
trap '[ -z "${windows_prepare:-}" ] || wait "$windows_prepare" 2>/dev/null; rm -rf "$logs"' EXIT
stage_start=$SECONDS
table=()
# stage NAME: ends the stage before (its time and the tests it counted go into
# the closing table) and starts the next.
stage() {
  local now=$SECONDS
  if [ -n "${stage_name:-}" ]; then
    echo "== ${stage_name}: $((now - stage_start)) s (total ${now} s)"
    table+=("$((now - stage_start))|${stage_tests:--}|${stage_name}")
  fi
  stage_name=$1
  stage_tests=""
  stage_start=$now
  [ -z "$1" ] || echo "== $1"
}
# counted LOG: the tests a CTest or Google Test log reports, added to the stage.
counted() {
  local n
  n=$(sed -n -e 's/^[0-9]*% tests passed, [0-9]* tests\{0,1\} failed out of \([0-9]*\).*/\1/p' \
    -e 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' \
    -e 's/^Windows (Wine): \([0-9]*\) tests passed.*/\1/p' \
    -e 's/^fuzz \([a-z_]*\) .*/1/p' "$1" | awk '{ s += $1 } END { print s + 0 }')
  stage_tests=$(( ${stage_tests:-0} + n ))
}
# logged NAME COMMAND...: runs COMMAND, its output shown and kept for counted.
logged() {
  local log="$logs/$1"
  shift
  "$@" 2>&1 | tee "$log"
  counted "$log"
}

stage "Set-up"
# What the GCC builds and their tests need first; the rest (clang for the
# fuzz targets, QEMU, Xvfb, debootstrap), then the Windows stage's cross
# compiler and Wine, install while the first stages compile, and Wine makes
# its prefix: on a fresh machine that is minutes of downloading and
# unpacking, mostly the network's and the disk's, not the cores'. Nothing
# else installs packages meanwhile; the fuzz stage waits for the rest, the
# Windows stage for all of it.
bash scripts/setup.sh --first
ccache --zero-stats >/dev/null
ccache --max-size=15G >/dev/null
{
  if bash scripts/setup.sh >"$logs/setup-rest" 2>&1; then
    echo 0 >"$logs/setup-rest.status"
  else
    echo 1 >"$logs/setup-rest.status"
    exit 1
  fi
  bash scripts/windows-test.sh --prepare
} >"$logs/windows-prepare" 2>&1 &
windows_prepare=$!

stage "ASan+UBSan: every test but the kernel test"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$jobs"
logged asan ctest --preset asan -LE kernel -j"$test_jobs"

stage "Unprivileged user: file tests with permission cases"
logged unprivileged bash scripts/test-unprivileged.sh build/asan

stage "TSan: model, files, device and emulator tests"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j"$jobs"
logged tsan ctest --preset tsan -LE kernel -j"$test_jobs"

stage "Fuzz: every target for 15 s, one a core"
while [ ! -s "$logs/setup-rest.status" ] && kill -0 "$windows_prepare" 2>/dev/null; do sleep 1; done
if [ "$(cat "$logs/setup-rest.status" 2>/dev/null)" != 0 ]; then
  cat "$logs/setup-rest"
  echo "the installation of the packages for the later stages failed" >&2
  exit 1
fi
logged fuzz bash scripts/fuzz.sh --jobs "$jobs" 15

stage "Debian package: install test on fresh Debian 12 and 13 roots (when the packaging changed)"
bash scripts/install-test.sh --if-changed --suite bookworm
bash scripts/install-test.sh --if-changed --suite trixie

stage "Portability: the window's sources include no Linux or POSIX header"
bash scripts/check-portable-includes.sh

stage "Windows: MinGW-w64 cross build (with widgets once a Qt for Windows is cached), tests under Wine"
if ! wait "$windows_prepare"; then
  cat "$logs/windows-prepare"
  echo "the installation for the Windows stage failed" >&2
  exit 1
fi
windows_prepare=""
logged windows bash scripts/windows-test.sh

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
  logged other bash scripts/debian-root.sh --suite "$other_release" -- \
    bash scripts/release-tests.sh "build/$other_release/release"
fi

stage "Release: every target, benchmarks included"
cmake --preset release >/dev/null
cmake --build --preset release -j"$jobs"

stage "Benchmarks: every benchmark program for a moment (not a measurement)"
bash scripts/bench.sh --smoke

stage "Windows zip under Wine (when a Qt for Windows is cached)"
# It needs Qt cross-built for Windows, which takes about half an hour: it runs
# only when scripts/windows-qt.sh has put that Qt into its cache.
bash scripts/windows-check.sh

stage "Release: every test"
logged release ctest --preset release -j"$test_jobs"
stage ""

# The closing table, then the cache's figures and one line of the tests.
echo
printf '%8s  %6s  %s\n' "time (s)" "tests" "stage"
total_tests=0
for r in "${table[@]}"; do
  IFS='|' read -r t n name <<<"$r"
  printf '%8s  %6s  %s\n' "$t" "$n" "$name"
  [ "$n" = "-" ] || total_tests=$((total_tests + n))
done
printf '%8s  %6s  %s\n' "$SECONDS" "$total_tests" "total"
ccache --print-stats | awk -F'\t' '
  $1 == "direct_cache_hit" || $1 == "preprocessed_cache_hit" { hit += $2 }
  $1 == "cache_miss" { miss += $2 }
  END { n = hit + miss
        printf "ccache: %d of %d compiles from the cache (%.0f %%)\n", hit, n, n ? 100 * hit / n : 0 }'
echo "Tests: ${total_tests} passed, 0 failed"
