#!/usr/bin/env bash
# kxrd4-cli.exe under Wine: lists a program file, builds it back from the
# listing (in a folder with Polish letters, so arguments and paths keep them),
# lists the HID devices (Wine has only its virtual keyboard and mouse, no
# KX-RD4) and fails cleanly on a command that needs the controller.
# Usage: windows-cli-check.sh WINE KXRD4-CLI.EXE (Wine's environment set).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
wine=$1
cli=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/Programy zażółć"
cd "$work/Programy zażółć"

run() { # prints the command's output and returns its exit status
  local status=0
  "$wine" "$cli" "$@" >out.txt 2>err.txt || status=$?
  tr -d '\r' <out.txt
  tr -d '\r' <err.txt >&2
  return $status
}

head -c 2000 /dev/zero >"próba 1.kxp"
echo "== kxrd4-cli.exe list, build"
run list "próba 1.kxp" -p 0 | head -4
run list "próba 1.kxp" >"lista ł.txt"
run build "lista ł.txt" -o "próba 2.kxp"
cmp "próba 1.kxp" "próba 2.kxp"
echo "listing of \"próba 1.kxp\" built back into \"próba 2.kxp\": identical"

echo "== kxrd4-cli.exe devices"
status=0
run devices || status=$?
if [ "$status" -gt 1 ] || grep -q '(selected)' out.txt; then
  echo "windows-cli-check: devices exited with $status or selected a device" >&2
  exit 1
fi
echo "== kxrd4-cli.exe status (no KX-RD4)"
status=0
run status || status=$?
if [ "$status" -ne 3 ]; then
  echo "windows-cli-check: status without a controller exited with $status, not 3 (no device)" >&2
  exit 1
fi
echo "exit status 3 (no device), as expected"

# The resources as Windows reads them (version.dll, shell32): the version of
# project(VERSION), the tool's icon and the manifest.
echo "== kxrd4-cli.exe resources"
version="$(sed -n 's/^project(kxrd4-pc VERSION \([0-9.]*\).*/\1/p' "$here/../CMakeLists.txt")"
x86_64-w64-mingw32-gcc-posix -O1 -o resource-check.exe "$here/windows-resource-check.c" -lversion -lshell32
cp "$cli" ./program.exe
resources="$("$wine" ./resource-check.exe program.exe | tr -d '\r')"
echo "$resources"
case "$resources" in
"version $version product KX-RD4 PC icons "[1-9]*" manifest yes") ;;
*)
  echo "windows-cli-check: kxrd4-cli.exe lacks its version $version, icon or manifest" >&2
  exit 1
  ;;
esac
