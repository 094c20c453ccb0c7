#!/usr/bin/env bash
# Cross-builds everything without widgets for 64-bit Windows (MinGW-w64, the
# `windows` preset) and runs its tests under Wine, then the command-line tool.
# Installs the cross compiler and Wine when they are missing (as root, or
# through sudo). Needs no display. With --prepare it only installs them and
# makes the Wine prefix (scripts/test.sh does that while other stages compile).
#   scripts/windows-test.sh [--prepare]
set -euo pipefail
cd "$(dirname "$0")/.."
prepare=0
[ "${1:-}" = --prepare ] && prepare=1
jobs=$(nproc)
start=$SECONDS

packages=(g++-mingw-w64-x86-64-posix wine64 googletest libsimpleini-dev cmake)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "windows-test: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q >/dev/null
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
export WINEDEBUG=-all
export WINEPREFIX="$PWD/build/wine-prefix"
export WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko installer prompts
unset DISPLAY WAYLAND_DISPLAY

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows-test: making the Wine prefix"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
fi
if [ "$prepare" -eq 1 ]; then
  # Nothing of Wine's stays running (the desktop wineboot started included).
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  exit 0
fi

cmake --preset windows >/dev/null
nice cmake --build --preset windows -j"$jobs"
build=build/windows
# Windows without a display: Wine's null graphics driver (the HID notification
# window is created and receives messages, nothing is drawn). Wine's desktop
# reads the setting when it starts, so the server (and with it the desktop that
# wineboot started without a driver) is stopped and started anew.
"$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" -w 2>/dev/null || true
# One Wine server for every run below.
"$WINESERVER" -p 2>/dev/null || true
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT

echo "== Windows build under Wine: tests"
# Each test program runs in shards (Google Test's own sharding), two a core at
# once: under Wine the tests mostly wait on process starts and the server, and
# the command-line tests start a program for nearly every case.
shards=$((jobs * 2))
# run_shard EXE INDEX: one shard, its output in EXE's name.INDEX.log and its
# exit status in .rc.
run_shard() {
  local out="$build/$(basename "$1").$2" rc=0
  GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$2 \
    "$WINE" "$1" --gtest_brief=1 >"$out.log" 2>&1 || rc=$?
  echo "$rc" >"$out.rc"
}
programs=()
while IFS= read -r exe; do programs+=("$exe"); done < <(find "$build/tests" -name '*_tests.exe' | sort)
rm -f "$build"/*.exe.*.rc
for exe in "${programs[@]}"; do
  for ((index = 0; index < shards; index++)); do
    while [ "$(jobs -rp | wc -l)" -ge "$shards" ]; do wait -n || true; done
    run_shard "$exe" "$index" &
  done
done
wait
total=0
failed=0
for exe in "${programs[@]}"; do
  name=$(basename "$exe")
  passed=0
  ok=1
  for ((index = 0; index < shards; index++)); do
    log="$build/$name.$index.log"
    if [ "$(cat "$build/$name.$index.rc" 2>/dev/null)" = 0 ]; then
      n=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -1)
      passed=$((passed + ${n:-0}))
    else
      ok=0
      cat "$log"
    fi
  done
  if [ "$ok" -eq 1 ]; then
    echo "  $name: $passed passed"
    total=$((total + passed))
  else
    echo "  $name: FAILED"
    failed=$((failed + 1))
  fi
done
# kxrd4.dll through its header only (a C program, not a Google Test one).
library_test="$build/tests/lib/kxrd4_c_test.exe"
if [ -f "$library_test" ]; then
  if "$WINE" "$library_test" >"$build/kxrd4_c_test.log" 2>&1 &&
    grep -q 'every check passed' "$build/kxrd4_c_test.log"; then
    echo "  kxrd4_c_test.exe (kxrd4.dll): passed"
  else
    echo "  kxrd4_c_test.exe (kxrd4.dll): FAILED"
    cat "$build/kxrd4_c_test.log"
    failed=$((failed + 1))
  fi
fi
echo "Windows (Wine): $total tests passed in $(find "$build/tests" -name '*_tests.exe' | wc -l) programs, $failed programs failed"
[ "$failed" -eq 0 ]

cli=$(find "$build/src" -name 'kxrd4-cli.exe' | head -1)
if [ -n "$cli" ]; then
  bash scripts/windows-cli-check.sh "$WINE" "$cli"
fi
echo "windows-test: $((SECONDS - start)) s"
