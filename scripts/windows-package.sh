#!/usr/bin/env bash
# Builds kxrd4-pc.exe and kxrd4-cli.exe for 64-bit Windows (the `windows` preset) against
# the Qt made by scripts/windows-qt.sh, and packs them with everything they need to run
# into kxrd4-pc-<version>-windows-x64.zip:
#
#   scripts/windows-package.sh [OUTDIR]     (default: build/)
#
# The zip holds the two programs, the window's chart library libkxrd4-chart.dll,
# kxrd4.dll (with sdk\: its import library kxrd4.lib, the header kxrd4\kxrd4.h
# and the examples; python\: the module kxrd4), the Qt,
# QCustomPlot and MinGW run-time DLLs they load
# (found by following the programs' imports), the Windows platform and style plugins,
# Qt's Polish translation and README.txt. KXRD4_QT_MINGW names the Qt folder as for
# scripts/windows-qt.sh. Prints the zip's path and size. An import that is neither
# found there nor one of Windows' own DLLs (one MinGW-w64 has an import library for,
# or an api-ms-win-*/ext-ms-* set) stops the script: the zip would not start.
#
# Signing (Authenticode, with osslsigncode, Debian's package of that name), so that
# SmartScreen and Smart App Control can trust the programs and DLLs:
#   KXRD4_SIGN_PKCS12          the code-signing certificate and its key (.pfx/.p12)
#   KXRD4_SIGN_PASSWORD_FILE   a file holding the certificate's password (optional)
#   KXRD4_SIGN_TIMESTAMP_URL   an RFC 3161 time-stamping server, so that the
#                              signatures outlive the certificate (optional)
# Every .exe and .dll of the zip is signed with SHA-256. Without KXRD4_SIGN_PKCS12 the
# zip is built unsigned and the script and the zip's README.txt say so.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$root/build}")"
qt="$(realpath -m "${KXRD4_QT_MINGW:-$HOME/.cache/kxrd4-pc/qt6-mingw}")"
triple=x86_64-w64-mingw32

if [ ! -f "$qt/kxrd4-qt6-mingw.stamp" ]; then
  echo "windows-package: no Qt for Windows in $qt; build it first with scripts/windows-qt.sh" >&2
  exit 1
fi
need=(zip)
[ -n "${KXRD4_SIGN_PKCS12:-}" ] && need+=(osslsigncode)
for tool in "${need[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "$tool"
  fi
done
if [ -n "${KXRD4_SIGN_PKCS12:-}" ] && [ ! -f "$KXRD4_SIGN_PKCS12" ]; then
  echo "windows-package: KXRD4_SIGN_PKCS12 names no file: $KXRD4_SIGN_PKCS12" >&2
  exit 1
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
nice -n 10 cmake --build "$build" -j"${KXRD4_JOBS:-2}" --target kxrd4-pc kxrd4-cli kxrd4

stage="$out/$name"
rm -rf "$stage" "$out/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp "$build/src/app/kxrd4-pc.exe" "$build/src/cli/kxrd4-cli.exe" "$stage/"
# The window's chart library, which it loads beside itself once it shows.
cp "$build/src/app/libkxrd4-chart.dll" "$stage/"
# The library for integrators: kxrd4.dll beside the programs (C, C#, LabVIEW
# and the Python module load it from there), its import library and header in
# sdk\, the Python module in python\ (it finds kxrd4.dll two folders up).
cp "$build/src/lib/kxrd4.dll" "$stage/"
mkdir -p "$stage/sdk/include/kxrd4" "$stage/sdk/lib" "$stage/sdk/examples" "$stage/python"
cp "$root/src/lib/include/kxrd4/kxrd4.h" "$stage/sdk/include/kxrd4/"
cp "$build/src/lib/kxrd4.lib" "$stage/sdk/lib/"
cp "$root/examples/"* "$stage/sdk/examples/"
cp -r "$root/src/lib/python/kxrd4" "$stage/python/"
find "$stage/python" -name __pycache__ -prune -exec rm -rf {} +
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
qt_translations="$(qtpaths6 --query QT_INSTALL_TRANSLATIONS 2>/dev/null || echo /usr/share/qt6/translations)"
cp "$qt_translations/qtbase_pl.qm" "$qt_translations/qtbase_en.qm" "$stage/translations/"
sed 's/$/\r/' "$root/packaging/windows/README.txt" >"$stage/README.txt"

# The DLLs the programs and plugins import, and theirs in turn, from the Qt folder and the
# MinGW run time; Windows' own DLLs stay out. Anything else is missing from the zip.
gcc_dir="$(dirname "$("$triple-g++-posix" -print-libgcc-file-name)")"
search=("$qt/bin" "$gcc_dir" "/usr/$triple/lib" "/usr/$triple/bin")
system_dll() { # Windows' own: MinGW-w64 links against it through an import library
  local name="${1,,}"
  name="${name%.*}" # foo.dll, and the printer spooler's winspool.drv
  case "$name" in api-ms-win-* | ext-ms-*) return 0 ;; esac
  [ -f "/usr/$triple/lib/lib$name.a" ]
}
missing=()
pending=("$stage"/*.exe "$stage"/kxrd4.dll "$stage"/libkxrd4-chart.dll "$stage"/platforms/*.dll "$stage"/styles/*.dll)
while [ ${#pending[@]} -gt 0 ]; do
  file="${pending[0]}"
  pending=("${pending[@]:1}")
  while read -r dll; do
    [ -e "$stage/$dll" ] && continue
    found=""
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/"
        pending+=("$stage/$dll")
        found=1
        break
      fi
    done
    [ -n "$found" ] || system_dll "$dll" || missing+=("$dll (imported by ${file#"$stage"/})")
  done < <("$triple-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "windows-package: DLLs not found in ${search[*]}:" >&2
  printf '  %s\n' "${missing[@]}" >&2
  exit 1
fi
# One C++ run time per process: the window program uses the run-time DLLs that Qt's
# DLLs load, not a static copy of its own.
# (The imports are read whole first: grep -q ending early would fail the pipe.)
imports="$("$triple-objdump" -p "$stage/kxrd4-pc.exe")"
if ! grep -qiF 'DLL Name: libstdc++-6.dll' <<<"$imports"; then
  echo "windows-package: kxrd4-pc.exe is not linked against libstdc++-6.dll (a second C++ run time beside Qt's)" >&2
  exit 1
fi

# Authenticode signatures on every program and DLL, when a certificate is given.
if [ -n "${KXRD4_SIGN_PKCS12:-}" ]; then
  sign_args=(-pkcs12 "$KXRD4_SIGN_PKCS12" -h sha256 -n "KX-RD4 PC")
  [ -n "${KXRD4_SIGN_PASSWORD_FILE:-}" ] && sign_args+=(-readpass "$KXRD4_SIGN_PASSWORD_FILE")
  [ -n "${KXRD4_SIGN_TIMESTAMP_URL:-}" ] && sign_args+=(-ts "$KXRD4_SIGN_TIMESTAMP_URL")
  while IFS= read -r -d '' binary; do
    osslsigncode sign "${sign_args[@]}" -in "$binary" -out "$binary.signed" >/dev/null ||
      { echo "windows-package: signing ${binary#"$stage"/} failed" >&2; rm -f "$binary.signed"; exit 1; }
    mv "$binary.signed" "$binary"
  done < <(find "$stage" -type f \( -name '*.exe' -o -name '*.dll' \) -print0)
  signed="signed with $(basename "$KXRD4_SIGN_PKCS12")"
else
  signed="NOT signed (no KXRD4_SIGN_PKCS12): SmartScreen warns before the first start and Smart App Control may block it"
  printf '%s\r\n' "" "Signature" "---------" \
    "The programs and DLLs of this copy are not signed. Windows SmartScreen warns" \
    "before their first start (\"More info\", then \"Run anyway\"); where Smart App" \
    "Control is on, it may refuse them." >>"$stage/README.txt"
fi

(cd "$out" && zip -q -r -9 "$name.zip" "$name")
size=$(stat -c %s "$out/$name.zip")
echo "windows-package: $out/$name.zip ($((size / 1024 / 1024)).$(((size % (1024 * 1024)) * 10 / 1024 / 1024)) MB), $signed"
ls -1 "$stage" | sed 's/^/  /'
