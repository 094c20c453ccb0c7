#!/usr/bin/env bash
# Usage: scripts/manual-pictures.sh
# Makes the pictures of the operator's manual in both languages: runs
# scripts/screenshot.sh once in English and once in Polish and copies the
# pictures the manual's pages show into docs/manual/en/pictures/ and
# docs/manual/pl/pictures/ (the same names in both). The build embeds them
# with the pages (ManualView shows them), and the package installs them.
# PNGs are made smaller with optipng when it is installed (nothing is
# installed for it). Run it after a change to the window; commit the result.
# BUILD_DIR is handed on to screenshot.sh.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# The pictures the manual uses: the three pages, the line edit dialog and a
# question.
pictures=(1-programowanie.png 2-sterowanie.png 3-opcje.png line-editor.png question-check.png)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for lang in en pl; do
  bash "$root/scripts/screenshot.sh" --lang "$lang" "$work/$lang" >"$work/$lang.log" 2>&1 || {
    cat "$work/$lang.log" >&2
    echo "manual-pictures: the screenshots in '$lang' failed" >&2
    exit 1
  }
  target="$root/docs/manual/$lang/pictures"
  mkdir -p "$target"
  for picture in "${pictures[@]}"; do
    if [ ! -f "$work/$lang/$picture" ]; then
      echo "manual-pictures: $lang: $picture was not made" >&2
      exit 1
    fi
    cp "$work/$lang/$picture" "$target/$picture"
    if command -v optipng >/dev/null; then
      optipng -quiet -o2 -strip all "$target/$picture"
    fi
  done
  echo "manual-pictures: $lang: ${#pictures[@]} pictures in docs/manual/$lang/pictures"
done
