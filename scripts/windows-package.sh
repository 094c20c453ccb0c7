#!/usr/bin/env bash
# Builds kxrd4-pc.exe and kxrd4-cli.exe for 64-bit Windows (the `windows` preset) against
# the Qt made by scripts/windows-qt.sh, and packs them with everything they need to run
# into kxrd4-pc-<version>-windows-x64.zip:
#
#   scripts/windows-package.sh [OUTDIR]     (default: build/)
#
# The zip holds the two programs, the Qt, QCustomPlot and MinGW run-time DLLs they load
# (found by following the programs' imports), the Windows platform and style plugins,
# Qt's Polish translation and README.txt. KXRD4_QT_MINGW names the Qt folder as for
# scripts/windows-qt.sh. Prints the zip's path and size.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build}")"
qt="$(realpath -m "${KXRD4_QT_MINGW:-$HOME/.cache/kxrd4-pc/qt6-mingw}")"
triple=x86_64-w64-mingw32

if [ ! -f "$qt/kxrd4-qt6-mingw.stamp" ]; then
  echo "windows-package: no Qt for Windows in $qt; build it first with scripts/windows-qt.sh" >&2
  exit 1
fi
if ! command -v zip >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends zip
fi

version="$(sed -n 's/^project(kxrd4-pc VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
name="kxrd4-pc-$version-windows-x64"
build="$root/build/windows"

cd "$root"
configure_log="$(cmake --preset windows -DKXRD4_QT_MINGW="$qt")"
if ! grep -q 'Windows widgets: Qt' <<<"$configure_log"; then
  echo "windows-package: the windows build did not find Qt in $qt" >&2
  exit 1
fi
nice -n 10 cmake --build "$build" -j"${KXRD4_JOBS:-2}" --target kxrd4-pc kxrd4-cli

stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp "$build/src/app/kxrd4-pc.exe" "$build/src/cli/kxrd4-cli.exe" "$stage/"
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
cp "$(qtpaths6 --query QT_INSTALL_TRANSLATIONS 2>/dev/null || echo /usr/share/qt6/translations)/qtbase_pl.qm" \
  "$stage/translations/"
sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$stage/README.txt"

# The DLLs the programs and plugins import, and theirs in turn, from the Qt folder and the
# MinGW run time; Windows' own DLLs are not found there and stay out.
gcc_dir="$(dirname "$("$triple-g++-posix" -print-libgcc-file-name)")"
search=("$qt/bin" "$gcc_dir" "/usr/$triple/lib" "/usr/$triple/bin")
pending=("$stage"/*.exe "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file="${pending[0]}"
  pending=("${pending[@]:1}")
  while read -r dll; do
    [ -e "$stage/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/"
        pending+=("$stage/$dll")
        break
      fi
    done
  done < <("$triple-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done

(cd "$out" && zip -q -r -9 "$name.zip" "$name")
size=$(stat -c %s "$out/$name.zip")
echo "windows-package: $out/$name.zip ($((size / 1024 / 1024)).$(((size % (1024 * 1024)) * 10 / 1024 / 1024)) MB)"
ls -1 "$stage" | sed 's/^/  /'
