#!/usr/bin/env bash
# Usage: scripts/package.sh [BUILD_DIR]
# Builds the Debian packages from a clean release build in its own folder
# (default build/package): kxrd4-pc and beside it libkxrd4-1, libkxrd4-dev and
# python3-kxrd4; prints kxrd4-pc's path as the last line (the others are in the
# same folder).
# The package is named after the Debian release that builds it
# (kxrd4-pc_<version>~deb<N>_amd64.deb, N from /etc/os-release), since its
# library dependencies are that release's.
# Needs dpkg-dev (dpkg-shlibdeps computes the library dependencies) and
# help2man (manual pages); scripts/setup.sh installs them.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(realpath -m "${1:-$root/build/package}")"

bash "$root/scripts/setup.sh" >&2

release=""
if [ -r /etc/os-release ]; then
  release=$(. /etc/os-release && [ "${ID:-}" = debian ] && echo "${VERSION_ID:-}" | cut -d . -f 1)
fi
suffix=""
[ -n "$release" ] && suffix="deb$release"

rm -rf "$build"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DKXRD4_WITH_TESTS=OFF -DKXRD4_WITH_BENCH=OFF -DKXRD4_PACKAGE_RELEASE="$suffix" >/dev/null
nice cmake --build "$build" -j"$(nproc)" >&2
(cd "$build" && cpack -G DEB >&2)

deb=$(find "$build" -maxdepth 1 -name 'kxrd4-pc_*.deb' | head -n 1)
if [ -z "$deb" ]; then
  echo "package: cpack made no kxrd4-pc_*.deb in $build" >&2
  exit 1
fi
for package in "$build"/*.deb; do
  dpkg-deb --field "$package" Package Version Architecture Installed-Size Depends >&2
  echo >&2
done
echo "$deb"
