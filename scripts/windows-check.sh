#!/usr/bin/env bash
# The Windows part of the test command: builds the zip (scripts/windows-package.sh) and
# runs it under Wine (scripts/windows-proof.sh) when the Qt for Windows made by
# scripts/windows-qt.sh is in its cache; otherwise says in one line how to enable it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
qt="${KXRD4_QT_MINGW:-$HOME/.cache/kxrd4-pc/qt6-mingw}"
if [ ! -f "$qt/kxrd4-qt6-mingw.stamp" ]; then
  echo "== Windows: skipped the zip and its run under Wine (no Qt for Windows in $qt; run bash scripts/windows-qt.sh once, about 30 minutes, to enable them)"
  exit 0
fi
echo "== Windows: the zip, run under Wine"
bash "$root/scripts/windows-package.sh"
bash "$root/scripts/windows-proof.sh"
