#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing kxrd4-pc need,
# on Debian 12 or 13 alike: only names that both releases have (the compiler
# runtime through its unversioned package, which follows the release's clang).
# Packages already present are skipped. Works as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config clang-format git ccache
  clang libclang-rt-dev
  qt6-base-dev qt6-translations-l10n qt6-l10n-tools libqcustomplot-dev libgl-dev
  libudev-dev libsimpleini-dev libfontconfig-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps imagemagick fonts-liberation fonts-dejavu-core poppler-utils
  qemu-system-x86 busybox-static cpio kmod dosfstools mtools e2fsprogs
  dpkg-dev file help2man desktop-file-utils debootstrap x11-utils
  python3 python3-pytest
)

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
