#!/usr/bin/env bash
# Usage: scripts/screenshot.sh OUTDIR
# Builds kxrd4-pc if needed, starts it in demo mode (--demo: the emulated
# controller) under a virtual X display (Xvfb) and lets it photograph its own
# window: each of the three pages is shown in turn and written as
# OUTDIR/1-programowanie.png, 2-sterowanie.png, 3-opcje.png. Before the
# pictures the tool sends an out-and-back program to the emulator and runs it,
# so the chart shows the emulated move. The tool does this when
# KXRD4_SCREENSHOT_DIR is set (see ScreenshotHook); it takes about 20 seconds.
# The question shown at start-up about unsaved changes left behind is
# photographed as well (OUTDIR/question-recovery.png). A run recorded with
# "Nagrywaj" is photographed (run-view.png) and its report written
# (report.pdf with report.csv and report.png; its pages as report-page-N.png).
# BUILD_DIR selects the build folder (default build/release, as scripts/run.sh).
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: scripts/screenshot.sh OUTDIR" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "$1")"
build="${BUILD_DIR:-$root/build/release}"
app="$build/src/app/kxrd4-pc"

bash "$root/scripts/setup.sh" # Xvfb among the rest; quick when all is present
if [ ! -x "$app" ] || [ -n "${REBUILD:-}" ]; then
  if [ -z "${BUILD_DIR:-}" ]; then
    (cd "$root" && cmake --preset release >/dev/null)
  fi
  cmake --build "$build" -j2 --target kxrd4-pc
fi

mkdir -p "$out"
rm -f "$out"/[123]-*.png "$out"/question-*.png
# Unsaved changes of a tool that no longer runs, in a data folder of this run
# only: the start-up asks whether to recover them, and that question is
# photographed too (question-recovery.png) and answered "Tak". The user's own
# data folder is never touched.
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
mkdir -p "$data/kxrd4-pc"
bash -c 'exit 0' &
dead=$!
wait "$dead"
name="/home/operator/programy/wózek.kxp"
{
  printf 'KXRD4-RECOVERY 1 %d %s\n' "$(printf %s "$name" | wc -c)" "$name"
  head -c 2000 /dev/zero
} >"$data/kxrd4-pc/recovery-$dead.kxr"
export XDG_DATA_HOME="$data"
# The tool closes its window by itself after the last page; the time-out only
# guards against a tool that never gets its window on the screen.
KXRD4_SCREENSHOT_DIR="$out" timeout 90 \
  xvfb-run -a -s "-screen 0 1024x768x24" "$app" --demo

count=$(find "$out" -maxdepth 1 -name '[123]-*.png' | wc -l)
if [ "$count" -ne 3 ]; then
  echo "screenshot: expected 3 pictures in $out, found $count" >&2
  exit 1
fi
if [ ! -f "$out/question-recovery.png" ]; then
  echo "screenshot: the recovery question was not photographed" >&2
  exit 1
fi
# The report of the recorded run, its pages as pictures (poppler's pdftoppm).
if [ -f "$out/report.pdf" ]; then
  rm -f "$out"/report-page-*.png
  pdftoppm -r 80 -png "$out/report.pdf" "$out/report-page"
fi
ls -1 "$out"/[123]-*.png "$out"/question-recovery.png "$out"/run-view.png \
  "$out"/report-page-*.png
