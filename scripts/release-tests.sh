#!/usr/bin/env bash
# Usage: scripts/release-tests.sh BUILD_DIR
# Installs what is missing, builds every target of the release preset in
# BUILD_DIR and runs its tests but the kernel test: the check that the code
# builds clean and passes on a Debian release other than this machine's, run
# inside a root of it by scripts/test.sh (see scripts/debian-root.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: release-tests.sh BUILD_DIR}
jobs=$(nproc)

bash scripts/setup.sh
echo "release-tests: $(. /etc/os-release && echo "$PRETTY_NAME"), $(g++ --version | head -n 1)," \
  "Qt $(dpkg-query -W -f '${Version}' qt6-base-dev), $(cmake --version | head -n 1)"
# Only what the tests below use: no benchmarks, no kernel test. Every file
# is compiled alone: a missing include that this release's compiler or
# library no longer forgives fails here, not hidden in a batch.
cmake --preset release -B "$build" -DKXRD4_WITH_BENCH=OFF -DKXRD4_WITH_KERNEL_TEST=OFF \
  -DKXRD4_UNITY_BATCHES=OFF >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" -LE kernel -j"$((jobs * 2))" --output-on-failure
