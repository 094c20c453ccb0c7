#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing kxrd4-pc need,
# on Debian 12 or 13 alike: only names that both releases have (the compiler
# runtime through its unversioned package, which follows the release's clang).
# Packages already present are skipped. Works as root or through sudo.
#
# Usage: scripts/setup.sh [--first]
# --first installs only what the builds with GCC and their tests need (the
# test command installs the rest alongside its first builds): not clang and
# its runtime for the fuzz targets, QEMU and the tools that build its guests
# for the kernel and power-cut tests, Xvfb and ImageMagick for the start-up
# benchmark and the screenshots, debootstrap for the Debian roots.
set -euo pipefail

FIRST=(
  build-essential cmake pkg-config git ccache
  qt6-base-dev qt6-translations-l10n qt6-l10n-tools libqcustomplot-dev libgl-dev
  libudev-dev libsimpleini-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation fonts-dejavu-core poppler-utils
  dpkg-dev file help2man desktop-file-utils
  python3 python3-pytest
)
LATER=(
  clang libclang-rt-dev clang-format
  xvfb xauth x11-apps x11-utils imagemagick
  qemu-system-x86 busybox-static cpio kmod dosfstools mtools e2fsprogs
  debootstrap
)
case "${1:-}" in
  "") PACKAGES=("${FIRST[@]}" "${LATER[@]}") ;;
  --first) PACKAGES=("${FIRST[@]}") ;;
  *) echo "usage: scripts/setup.sh [--first]" >&2; exit 2 ;;
esac

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then SUDO="sudo"; else
    echo "setup: these packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
  fi
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
