#!/usr/bin/env bash
# Cross-builds everything without widgets for 64-bit Windows (MinGW-w64, the
# `windows` preset) and runs its tests under Wine, then the command-line tool.
# Installs the cross compiler and Wine when they are missing (as root, or
# through sudo). Needs no display.
set -euo pipefail
cd "$(dirname "$0")/.."
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

cmake --preset windows >/dev/null
nice cmake --build --preset windows -j"$jobs"
build=build/windows

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows-test: making the Wine prefix"
  "$WINE" wineboot -i >/dev/null 2>&1 || true
fi
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
total=0
failed=0
while IFS= read -r exe; do
  name=$(basename "$exe")
  log="$build/$name.log"
  if "$WINE" "$exe" --gtest_brief=1 >"$log" 2>&1; then
    passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$log" | tail -1)
    echo "  $name: ${passed:-0} passed"
    total=$((total + ${passed:-0}))
  else
    echo "  $name: FAILED"
    cat "$log"
    failed=$((failed + 1))
  fi
done < <(find "$build/tests" -name '*_tests.exe' | sort)
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
