#!/usr/bin/env bash
# Runs the Windows zip under Wine on a virtual display, as an operator would:
#
#   scripts/windows-proof.sh [ZIP] [OUTDIR]
#
# ZIP defaults to the one scripts/windows-package.sh makes (built first when missing);
# OUTDIR (default build/windows-proof) receives the pictures. The zip is unpacked into a
# fresh folder whose path holds Polish letters and blanks, then
#  - kxrd4-pc.exe --demo photographs its three pages and its questions (the tool's own
#    screenshot mode) while it sends a program to the emulated controller and reads it
#    back; the read-back must equal what was sent, and the questions' buttons must read
#    "Tak", "Nie", "Anuluj";
#  - kxrd4-pc.exe without a controller starts, says "Rozłączony", photographs its pages
#    and closes;
#  - each run must end normally and leave config.ini beside the exe;
#  - kxrd4-pc.exe --version must print its version, and both programs must carry the
#    version, the icon and the manifest as Windows reads them (windows-resource-check.c).
# Wine's own prefix lives in build/wine-proof-prefix and is made on the first run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
version="$(sed -n 's/^project(kxrd4-pc VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
zip="$(realpath -m "${1:-$root/build/kxrd4-pc-$version-windows-x64.zip}")"
out="$(realpath -m "${2:-$root/build/windows-proof}")"

install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  echo "windows-proof: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    { $sudo apt-get update -q && $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"; }
}
install_missing wine wine64 fonts-wine xvfb xauth unzip

if [ ! -f "$zip" ]; then
  bash "$root/scripts/windows-package.sh" "$(dirname "$zip")"
fi

export WINEPREFIX="$root/build/wine-proof-prefix"
export WINEDEBUG=-all
# No Mono or Gecko installers: the tool needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows-proof: making the Wine prefix"
  xvfb-run -a wine wineboot -i >/dev/null 2>&1
  # A virtual desktop: Wine draws the windows' frames and captions itself, as Windows
  # would (Xvfb has no window manager).
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
  wineserver -w
fi

work="$out/work"
rm -rf "$out"
mkdir -p "$work"
place="$work/Narzędzia sterownika/Zażółć gęślą jaźń"
mkdir -p "$place"
unzip -q "$zip" -d "$place"
app_dir="$(find "$place" -maxdepth 2 -name kxrd4-pc.exe -printf '%h\n' | head -1)"
[ -n "$app_dir" ] || { echo "windows-proof: no kxrd4-pc.exe in $zip" >&2; exit 1; }

failures=0
fail() { echo "windows-proof: FAILED: $*" >&2; failures=$((failures + 1)); }

# run NAME [ARGS...]: one start of the tool in its screenshot mode; the pictures go to
# OUTDIR/NAME and the tool's messages to OUTDIR/NAME.log.
run() {
  local name="$1"
  shift
  mkdir -p "$out/$name"
  rm -f "$app_dir/config.ini"
  local status=0
  # The folder in Wine's terms (drive Z: is /), written out here: winepath would start a
  # Wine server without a display, and the tool would then join that server's desktop,
  # where nothing can be drawn.
  local shots="$out/$name"
  shots="Z:${shots//\//\\}"
  (cd "$app_dir" && KXRD4_SCREENSHOT_DIR="$shots" timeout 240 \
    xvfb-run -a -s "-screen 0 1280x1024x24" wine ./kxrd4-pc.exe "$@" \
    >"$out/$name.log" 2>&1) || status=$?
  wineserver -w || true
  sed -i 's/\r$//' "$out/$name.log" # Windows line ends
  [ "$status" -eq 0 ] || fail "$name: kxrd4-pc.exe $* ended with status $status (see $out/$name.log)"
  local count
  count=$(find "$out/$name" -maxdepth 1 -name '[123]-*.png' | wc -l)
  [ "$count" -eq 3 ] || fail "$name: expected 3 page pictures, found $count"
  [ -f "$app_dir/config.ini" ] || fail "$name: no config.ini beside kxrd4-pc.exe"
}

echo "windows-proof: unpacked into $app_dir"
# The window program's own texts reach the console it was started from, and both
# programs carry the icon, the version and the manifest as Windows reads them.
# (Under the virtual display, and the Wine server waited out afterwards: the runs below
# must not join a server that started without a display.)
printed="$(cd "$app_dir" && timeout 120 xvfb-run -a wine ./kxrd4-pc.exe --version 2>/dev/null |
  tr -d '\r')" || true
[ "$printed" = "kxrd4-pc $version" ] || fail "kxrd4-pc.exe --version printed \"$printed\""
echo "windows-proof: kxrd4-pc.exe --version: $printed"
x86_64-w64-mingw32-gcc-posix -O1 -o "$work/resource-check.exe" "$root/scripts/windows-resource-check.c" \
  -lversion -lshell32
for program in kxrd4-pc kxrd4-cli; do
  resources="$(cd "$app_dir" && xvfb-run -a wine "$work/resource-check.exe" "$program.exe" \
    2>/dev/null | tr -d '\r')" || true
  echo "windows-proof: $program.exe: $resources"
  case "$resources" in
  "version $version product KX-RD4 PC icons "[1-9]*" manifest yes") ;;
  *) fail "$program.exe lacks its version $version, icon or manifest ($resources)" ;;
  esac
done
wineserver -w || true
run demo --demo
grep -q '^screenshot: P0 read back equals the program sent$' "$out/demo.log" ||
  fail "demo: the program read back from the emulated controller was not confirmed"
for picture in question-read.png question-close.png; do
  [ -f "$out/demo/$picture" ] || fail "demo: no $picture"
done
# Qt's Polish translation found beside the exe: the questions' buttons.
for expected in "question-read.png:Tak Nie" "question-close.png:Tak Nie Anuluj"; do
  buttons="$(sed -n "s/^screenshot: ${expected%%:*} buttons: //p" "$out/demo.log")"
  for text in ${expected#*:}; do
    grep -qw "$text" <<<"$buttons" || fail "demo: ${expected%%:*} has no button \"$text\" ($buttons)"
  done
done
grep -q '^screenshot: 1-programowanie.png link: Połączony' "$out/demo.log" ||
  fail "demo: the emulated controller was not connected"
run plain
grep -q '^screenshot: 1-programowanie.png link: Rozłączony' "$out/plain.log" ||
  fail "plain: the status bar does not say \"Rozłączony\""

if [ "$failures" -ne 0 ]; then
  echo "windows-proof: $failures check(s) failed" >&2
  exit 1
fi
echo "windows-proof: passed; pictures in $out/demo and $out/plain"
