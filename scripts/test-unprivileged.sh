#!/usr/bin/env bash
# Runs the file tests as an unprivileged user, so that the cases which need
# permissions to bite (read-only files and folders, unreadable files) run
# instead of being skipped as they are for root. Fails when any test is still
# skipped.
#   scripts/test-unprivileged.sh BUILD_DIR   (a configured and built preset)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: test-unprivileged.sh BUILD_DIR}
user=nobody
group=$(id -gn "$user" 2>/dev/null || echo nogroup)

if [ "$(id -u)" -ne 0 ]; then
  # Already unprivileged: run the tests as they are.
  exec "$build/tests/files/files_tests" --gtest_brief=1
fi

# A folder the user can read and write, outside the build tree (which may lie
# below a folder closed to others).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/tests/files/files_tests" "$work/"
chmod 755 "$work" "$work/files_tests"
mkdir "$work/tmp"
chown "$user:$group" "$work/tmp"

# The kill test and the crash guard's test start helpers from the build tree,
# which may lie where the user may not enter (a project below /root): they have
# run as root already and need no permission cases. The kill test's cases are
# parameterized (Kinds/SaveKillTest.*), hence the leading '*'; the run must not
# reach the build tree at all, so the copy runs with the build tree's path
# nowhere in its arguments or environment.
log="$work/files_tests.log"
set +e
(cd "$work/tmp" && setpriv --reuid="$user" --regid="$group" --clear-groups \
  env -i PATH=/usr/bin:/bin TMPDIR="$work/tmp" "$work/files_tests" \
  --gtest_filter='-*SaveKillTest.*:CrashGuard.*') >"$log" 2>&1
status=$?
set -e
grep -E '^\[  (PASSED|FAILED|SKIPPED) ' "$log" || true
if [ $status -ne 0 ]; then
  cat "$log"
  exit $status
fi
if grep -q '^\[  SKIPPED \]' "$log"; then
  echo "test-unprivileged: tests were skipped as user $user" >&2
  exit 1
fi
