#!/usr/bin/env bash
# Usage: scripts/screenshot.sh [--lang en|pl] OUTDIR
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
#
# The window's language: --lang en or --lang pl (or LANGUAGE_CHOICE=en|pl in
# the environment); without either the system's language decides, as in the
# tool. The tool runs as a private copy in a temporary folder with a
# config.ini of its own (Language=.. under [Options] when chosen), so neither
# the build folder's nor the user's config.ini is read or changed. The
# pictures have the same names in both languages.
set -euo pipefail
usage() {
  echo "usage: scripts/screenshot.sh [--lang en|pl] OUTDIR" >&2
  exit 2
}
lang="${LANGUAGE_CHOICE:-}"
outdir=""
while [ $# -gt 0 ]; do
  case "$1" in
    --lang) [ $# -ge 2 ] || usage; lang="$2"; shift 2 ;;
    --lang=*) lang="${1#--lang=}"; shift ;;
    -*) usage ;;
    *) [ -z "$outdir" ] || usage; outdir="$1"; shift ;;
  esac
done
[ -n "$outdir" ] || usage
case "$lang" in
  "" | en | pl) ;;
  *) echo "screenshot: unknown language '$lang' (en or pl)" >&2; exit 2 ;;
esac
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "$outdir")"
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
mkdir -p "$data/kxrd4-pc" "$data/app"
# The private copy of the tool, with its chart library and settings file beside it.
cp "$app" "$(dirname "$app")/libkxrd4-chart.so" "$data/app/"
if [ -n "$lang" ]; then
  printf '[Options]\nLanguage=%s\n' "$lang" >"$data/app/config.ini"
fi
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
  xvfb-run -a -s "-screen 0 1024x768x24" "$data/app/kxrd4-pc" --demo

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
