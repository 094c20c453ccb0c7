#!/usr/bin/env bash
# Cross-builds the Qt 6 libraries kxrd4-pc needs for 64-bit Windows (MinGW-w64, posix threads),
# and QCustomPlot against them, from Debian 12's own source packages.
#
#   scripts/windows-qt.sh [--prefix DIR] [--work DIR] [--jobs N] [--force]
#
# The result goes to a cache folder outside the source tree, by default
# ~/.cache/kxrd4-pc/qt6-mingw (or $KXRD4_QT_MINGW). It holds bin/qt-cmake, the Qt DLLs,
# the Windows platform and style plugins and QCustomPlot's DLL with its CMake package.
# A stamp file records the versions; when it matches, the script does nothing.
# Debian's installed Qt (the same 6.4.2) serves as the host tools (moc, uic, rcc).
# The build takes about an hour of CPU (about 30 minutes on 2 idle cores) and runs under nice.
set -euo pipefail

PREFIX="${KXRD4_QT_MINGW:-$HOME/.cache/kxrd4-pc/qt6-mingw}"
WORK="${KXRD4_QT_MINGW_WORK:-}"
JOBS="${KXRD4_JOBS:-2}"
FORCE=0
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) PREFIX="$2"; shift 2 ;;
    --work) WORK="$2"; shift 2 ;;
    --jobs) JOBS="$2"; shift 2 ;;
    --force) FORCE=1; shift ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "windows-qt: unknown option $1" >&2; exit 2 ;;
  esac
done
PREFIX="$(realpath -m "$PREFIX")"
WORK="$(realpath -m "${WORK:-$PREFIX-work}")"

# Bump when the recipe below changes in a way that alters the result.
RECIPE=2
TRIPLE=x86_64-w64-mingw32

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "windows-qt: packages must be installed as root or through sudo" >&2
    exit 1
  fi
fi

# Runs the long steps at niceness 10 (not more, when started under nice already), so
# that other builds on the machine keep their share.
NICE=()
if [ "$(nice)" -lt 10 ]; then NICE=(nice -n $((10 - $(nice)))); fi

host_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true; }

install_packages() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "windows-qt: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

# The host Qt provides the build tools and must be the same version as the sources.
install_packages qt6-base-dev qt6-base-dev-tools libqcustomplot-dev
QT_VERSION="$(host_version qt6-base-dev)"
QCP_VERSION="$(host_version libqcustomplot-dev)"
STAMP_TEXT="qt6-base=$QT_VERSION qcustomplot=$QCP_VERSION recipe=$RECIPE"
STAMP="$PREFIX/kxrd4-qt6-mingw.stamp"

if [ "$FORCE" -eq 0 ] && [ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$STAMP_TEXT" ]; then
  echo "windows-qt: $PREFIX is up to date ($STAMP_TEXT)"
  exit 0
fi

install_packages g++-mingw-w64-x86-64-posix ninja-build cmake xz-utils ca-certificates patch
START=$(date +%s)
mkdir -p "$WORK"

# --- Sources: a private deb-src list, the system's apt configuration stays untouched -------
APTDIR="$WORK/apt"
mkdir -p "$APTDIR/sources" "$APTDIR/lists/partial" "$APTDIR/cache/archives/partial"
cat >"$APTDIR/sources/debian-src.sources" <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
APT=(apt-get -q -o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=$APTDIR/sources"
     -o "Dir::State::Lists=$APTDIR/lists" -o "Dir::Cache=$APTDIR/cache"
     -o APT::Sandbox::User=root)
SRCDIR="$WORK/src"
mkdir -p "$SRCDIR"
if ! ls "$SRCDIR"/qt6-base_*.orig.tar.xz >/dev/null 2>&1 ||
   ! ls "$SRCDIR"/qcustomplot_*.orig.tar.* >/dev/null 2>&1; then
  "${APT[@]}" update
  (cd "$SRCDIR" && "${APT[@]}" source --download-only "qt6-base=$QT_VERSION" "qcustomplot=$QCP_VERSION")
fi

unpack() { # unpack TARBALL DEST: the tarball's single top folder becomes DEST
  rm -rf "$2" && mkdir -p "$2"
  tar -xf "$1" -C "$2" --strip-components=1
}
QT_SRC="$WORK/qtbase"
QCP_SRC="$WORK/qcustomplot"
[ -f "$QT_SRC/CMakeLists.txt" ] || unpack "$(ls "$SRCDIR"/qt6-base_*.orig.tar.xz | head -1)" "$QT_SRC"
# QCustomPlot with Debian's own fix for Qt 6 (its QCP namespace made a real Q_NAMESPACE;
# the original's moc trick does not compile with Qt 6's moc). Small: unpacked each time.
unpack "$(ls "$SRCDIR"/qcustomplot_*.orig.tar.* | head -1)" "$QCP_SRC"
unpack "$(ls "$SRCDIR"/qcustomplot_*.debian.tar.* | head -1)" "$WORK/qcustomplot-debian"
patch -s -p1 -d "$QCP_SRC" <"$WORK/qcustomplot-debian/patches/02_fix_header_build.patch"
# Qt 6.4.2 builds its DirectWrite font engine and font database only together with
# Direct2D (which is off below), but its Windows print engine and platform plugin ask for
# DirectWrite alone and then do not link. Give them the same condition as the rest of
# Qt's Windows font code (text is then drawn through GDI).
sed -i 's/^#if QT_CONFIG(\(directwrite3\?\))$/#if QT_CONFIG(\1) \&\& QT_CONFIG(direct2d)/' \
  "$QT_SRC/src/printsupport/platform/windows/qprintengine_win.cpp" \
  "$QT_SRC/src/plugins/platforms/windows/qwindowsintegration.cpp"

# --- Toolchain ---------------------------------------------------------------------------
TOOLCHAIN="$WORK/mingw-toolchain.cmake"
cat >"$TOOLCHAIN" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER $TRIPLE-gcc-posix)
set(CMAKE_CXX_COMPILER $TRIPLE-g++-posix)
set(CMAKE_RC_COMPILER $TRIPLE-windres)
set(CMAKE_FIND_ROOT_PATH /usr/$TRIPLE "$PREFIX")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# --- Qt: Core, Gui, Widgets, PrintSupport, the Windows platform plugin and style -----------
QT_BUILD="$WORK/build-qtbase"
# Off, to keep the build short: modules and widgets the tool does not use, the Direct2D
# platform plugin (a second copy of the Windows one), and HarfBuzz and FreeType (Windows
# draws text with DirectWrite; Polish needs no complex shaping). OpenGL stays on: without
# it 6.4's Windows platform plugin does not compile. Debian's sources lack the Wintab
# header, hence no tablet events. Optimised for size: smaller DLLs, a shorter build.
if [ ! -f "$QT_BUILD/build.ninja" ]; then
  rm -rf "$QT_BUILD"
  "${NICE[@]}" cmake -G Ninja -S "$QT_SRC" -B "$QT_BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PREFIX" \
    -DQT_HOST_PATH=/usr \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF \
    -DFEATURE_xml=OFF -DFEATURE_network=OFF -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF \
    -DFEATURE_graphicsview=OFF -DFEATURE_mdiarea=OFF -DFEATURE_calendarwidget=OFF \
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF \
    -DFEATURE_harfbuzz=OFF -DFEATURE_freetype=OFF -DFEATURE_optimize_size=ON \
    -DFEATURE_opengl=ON
fi
"${NICE[@]}" cmake --build "$QT_BUILD" --parallel "$JOBS"
"${NICE[@]}" cmake --install "$QT_BUILD"

# --- QCustomPlot as a DLL with a CMake package QCustomPlotQt6::QCustomPlotQt6 --------------
QCP_PROJECT="$WORK/qcustomplot-project"
QCP_BUILD="$WORK/build-qcustomplot"
mkdir -p "$QCP_PROJECT"
cat >"$QCP_PROJECT/CMakeLists.txt" <<EOF
cmake_minimum_required(VERSION 3.21)
project(QCustomPlotQt6 VERSION ${QCP_VERSION%%+*} LANGUAGES CXX)
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport)
set(CMAKE_AUTOMOC ON)
add_library(QCustomPlotQt6 SHARED "$QCP_SRC/qcustomplot.cpp" "$QCP_SRC/qcustomplot.h")
target_compile_definitions(QCustomPlotQt6 PRIVATE QCUSTOMPLOT_COMPILE_LIBRARY
                           INTERFACE QCUSTOMPLOT_USE_LIBRARY)
target_link_libraries(QCustomPlotQt6 PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport)
target_include_directories(QCustomPlotQt6 INTERFACE \$<INSTALL_INTERFACE:include>)
set_target_properties(QCustomPlotQt6 PROPERTIES OUTPUT_NAME qcustomplot-qt6 PREFIX "")
install(TARGETS QCustomPlotQt6 EXPORT QCustomPlotQt6Targets
        RUNTIME DESTINATION bin ARCHIVE DESTINATION lib LIBRARY DESTINATION lib)
install(FILES "$QCP_SRC/qcustomplot.h" DESTINATION include)
install(EXPORT QCustomPlotQt6Targets NAMESPACE QCustomPlotQt6::
        DESTINATION lib/cmake/QCustomPlotQt6)
file(WRITE "\${CMAKE_CURRENT_BINARY_DIR}/QCustomPlotQt6Config.cmake"
  "include(CMakeFindDependencyMacro)\n"
  "find_dependency(Qt6 COMPONENTS Core Gui Widgets PrintSupport)\n"
  "include(\\"\\\${CMAKE_CURRENT_LIST_DIR}/QCustomPlotQt6Targets.cmake\\")\n")
install(FILES "\${CMAKE_CURRENT_BINARY_DIR}/QCustomPlotQt6Config.cmake"
        DESTINATION lib/cmake/QCustomPlotQt6)
EOF
rm -rf "$QCP_BUILD"
"${NICE[@]}" "$PREFIX/bin/qt-cmake" -G Ninja -S "$QCP_PROJECT" -B "$QCP_BUILD" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$PREFIX"
"${NICE[@]}" cmake --build "$QCP_BUILD" --parallel "$JOBS"
cmake --install "$QCP_BUILD"

echo "$STAMP_TEXT" >"$STAMP"
END=$(date +%s)
printf 'windows-qt: built Qt %s and QCustomPlot %s for Windows into %s in %dm%02ds\n' \
  "$QT_VERSION" "$QCP_VERSION" "$PREFIX" $(((END - START) / 60)) $(((END - START) % 60))
