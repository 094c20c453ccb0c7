#!/usr/bin/env bash
# Usage: scripts/install-test.sh [--suite bookworm|trixie] [--if-changed] [--deb FILE]
#                                [--build-dir DIR]
# Proves the Debian package on a clean Debian 12 (bookworm) or 13 (trixie): a
# fresh minimal root made with debootstrap, into which the package is
# installed with apt-get (so its dependency list must be complete), then,
# inside that root:
#   - no program or Qt platform plugin misses a shared library;
#   - every program answers --version with the package's version;
#   - kxrd4-cli lists a program file (when it is part of the package);
#   - kxrd4-pc (in demo mode when it has one) shows its window on a virtual X
#     display as an ordinary user, photographs its pages with its screenshot
#     mode and keeps its settings in ~/.config/kxrd4-pc/config.ini;
#   - the desktop entry is valid and names the window's class;
#   - a newer version installs over it and keeps the user's settings;
#   - apt-get remove leaves no file of the package behind (the user's
#     settings stay);
#   - the library's packages beside it (libkxrd4-1, libkxrd4-dev,
#     python3-kxrd4, from the folder of the package) install with apt-get: a C
#     program built with `pkg-config --cflags --libs kxrd4` runs against the
#     library's emulated controller, `python3 -c 'import kxrd4'` and a Python
#     session against the emulator run, the CMake package is there, and
#     apt-get remove takes every file away again.
#   --suite      the release (default bookworm)
#   --if-changed run only when the packaging files differ from those of the
#                last passing run on that release, whose hash
#                packaging/install-test-SUITE.stamp holds (a pass rewrites it:
#                commit it); KXRD4_INSTALL_TEST=always or never overrides.
#                Works the same in a fresh clone.
#   --deb        the package to test (default: built by scripts/package.sh on
#                that release, inside a root of it when this machine runs
#                another, see scripts/debian-root.sh)
#   --build-dir  work folder (default build/install-test/SUITE); the
#                downloaded packages are cached in DIR/cache, the screenshots
#                land in DIR/shots, a summary in DIR/summary.txt; the minimal
#                base root is scripts/debian-root.sh's cached one
# Needs root (debootstrap, chroot, mounts). KXRD4_DEBIAN_MIRROR overrides the
# mirror taken from this machine's apt sources.
set -euo pipefail

ROOT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
WORK=""
DEB=""
IF_CHANGED=""
SUITE=bookworm
START=$(date +%s)

log() { echo "install-test: [$(($(date +%s) - START))s] $*"; }
die() {
    echo "install-test: FAILED: $*" >&2
    exit 1
}

while [ $# -gt 0 ]; do
    case "$1" in
    --suite)
        [ $# -ge 2 ] || die "--suite needs a release name"
        SUITE="$2"
        shift 2
        ;;
    --if-changed)
        IF_CHANGED=1
        shift
        ;;
    --deb)
        [ $# -ge 2 ] || die "--deb needs a file"
        DEB=$(realpath "$2")
        shift 2
        ;;
    --build-dir)
        [ $# -ge 2 ] || die "--build-dir needs a folder"
        WORK=$(realpath -m "$2")
        shift 2
        ;;
    -h | --help)
        sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'
        exit 0
        ;;
    *) die "unknown argument '$1' (see --help)" ;;
    esac
done
[[ "$SUITE" =~ ^[a-z]+$ ]] || die "'$SUITE' is not a release's code name"
[ -n "$WORK" ] || WORK="$ROOT_DIR/build/install-test/$SUITE"
STAMP="$ROOT_DIR/packaging/install-test-$SUITE.stamp"

# The packaging files: install rules, package settings, desktop entry, icons,
# manual page, maintainer scripts, version template and these two scripts (the
# stamp and the Windows zip's files aside). Tracked files only, hashed by content, so a fresh clone
# gives the same answer as the working tree it was committed from.
packaging_hash() {
    (cd "$ROOT_DIR" && git ls-files -z -- packaging cmake/KxVersion.h.in scripts/package.sh \
        scripts/install-test.sh scripts/debian-root.sh ':!packaging/install-test-*.stamp' \
        ':!packaging/windows' |
        LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum | cut -d ' ' -f 1)
}
case "${KXRD4_INSTALL_TEST:-}" in
never)
    echo "install-test: skipped (KXRD4_INSTALL_TEST=never)"
    exit 0
    ;;
always) IF_CHANGED="" ;;
esac
HASH=""
if git -C "$ROOT_DIR" rev-parse --git-dir >/dev/null 2>&1; then
    HASH=$(packaging_hash)
fi
# Outside a git checkout nothing can be compared: the test runs.
if [ -n "$IF_CHANGED" ] && [ -n "$HASH" ] && [ "$(cat "$STAMP" 2>/dev/null)" = "$HASH" ]; then
    echo "install-test: skipped, the packaging is as in the last passing run ($STAMP)"
    exit 0
fi
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, chroot and mounts)"

CACHE="$WORK/cache"
mkdir -p "$CACHE/apt-archives/partial" "$WORK"
bash "$ROOT_DIR/scripts/setup.sh" # debootstrap, Xvfb, xwininfo, desktop-file-validate

host_suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ -z "$DEB" ]; then
    if [ "$host_suite" = "$SUITE" ]; then
        log "building the package"
        DEB=$(bash "$ROOT_DIR/scripts/package.sh" | tail -n 1)
    else
        # Built where its dependencies come from: in a root of that release.
        log "building the package in a $SUITE root"
        DEB=$(bash "$ROOT_DIR/scripts/debian-root.sh" --suite "$SUITE" -- \
            bash scripts/package.sh "build/$SUITE/package" | tail -n 1)
        DEB="$ROOT_DIR/${DEB#/project/}"
    fi
fi
[ -f "$DEB" ] || die "no package at $DEB"
VERSION=$(dpkg-deb --field "$DEB" Version)
# The programs say the upstream version; the package adds the release (~deb12).
UPSTREAM=${VERSION%%~*}
log "package $(basename "$DEB"), version $VERSION, on $SUITE"

# ---- Base root: scripts/debian-root.sh's cached minimal base ------------------
BASE=$(bash "$ROOT_DIR/scripts/debian-root.sh" --suite "$SUITE" --minbase-only) ||
    die "no minimal $SUITE root"

root=$(mktemp -d "$WORK/root.XXXXXX")
mounts=()
xvfb_pid=""
cleanup() {
    set +e
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"
    done
    # Never remove the root while anything of the host is still mounted in it.
    if grep -q " $root[/ ]" /proc/self/mounts; then
        echo "install-test: $root is still mounted in part; left in place" >&2
    else
        rm -rf "$root"
    fi
}
trap cleanup EXIT
mount_in() { # mount_in TARGET MOUNT-ARGUMENTS...
    local target="$root$1"
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounts+=("$target")
}

tar -C "$root" -xzf "$BASE"
chmod 755 "$root" # the tarball's top entry may carry the mode of a private temporary folder
# The base has its release's own package sources, updates and security included.
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs -o ro
mount_in /dev/shm -t tmpfs tmpfs
mount_in /var/cache/apt/archives --bind "$CACHE/apt-archives"

in_root() {
    chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}
as_user() {
    chroot --userspec=1000:1000 "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/tester \
        USER=tester LOGNAME=tester LANG=C.UTF-8 "$@"
}

log "apt-get update"
in_root apt-get update -q >"$WORK/apt.log" 2>&1 || die "apt-get update failed, see $WORK/apt.log"
cp "$DEB" "$root/tmp/"
log "apt-get install ./$(basename "$DEB")"
t0=$(date +%s)
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$DEB")" \
    >>"$WORK/apt.log" 2>&1 || die "apt-get install failed, see $WORK/apt.log"
install_seconds=$(($(date +%s) - t0))

# ---- The library's packages ------------------------------------------------------
libs=()
rm -f "$WORK/library-files.txt"
for name in libkxrd4-1 libkxrd4-dev python3-kxrd4; do
    for f in "$(dirname "$DEB")/${name}_${VERSION}"_*.deb; do
        [ -f "$f" ] && libs+=("$f")
    done
done
if [ ${#libs[@]} -gt 0 ]; then
    [ ${#libs[@]} -eq 3 ] || die "not all three library packages are beside $(basename "$DEB"): ${libs[*]}"
    cp "${libs[@]}" "$root/tmp/"
    log "apt-get install the library's packages and a C compiler"
    in_root apt-get install -y -q --no-install-recommends gcc libc6-dev pkg-config \
        $(printf '/tmp/%s ' "${libs[@]##*/}") >>"$WORK/apt.log" 2>&1 ||
        die "installing the library's packages failed, see $WORK/apt.log"
    for name in libkxrd4-1 libkxrd4-dev python3-kxrd4; do
        in_root dpkg -L "$name" | sort >>"$WORK/library-files.txt"
    done
    for f in include/kxrd4/kxrd4.h share/doc/libkxrd4-dev/examples/move_and_check.c \
        share/doc/libkxrd4-dev/examples/production_line.py lib/python3/dist-packages/kxrd4/__init__.py; do
        grep -qx "/usr/$f" "$WORK/library-files.txt" || die "the library's packages do not install /usr/$f"
    done
    grep -qE '^/usr/lib/[^/]+/libkxrd4\.so\.1$' "$WORK/library-files.txt" ||
        die "libkxrd4-1 does not install libkxrd4.so.1 in the multiarch folder"
    grep -qE '^/usr/lib/[^/]+/cmake/kxrd4/kxrd4Config\.cmake$' "$WORK/library-files.txt" ||
        die "libkxrd4-dev does not install the CMake package"
    in_root dpkg -L libkxrd4-1 | grep -q '/libkxrd4\.so$' && die "libkxrd4-1 holds the .so link of -dev"
    in_root useradd -m -u 1001 -s /bin/sh integrator
    cp "$root/usr/share/doc/libkxrd4-dev/examples/move_and_check.c" "$root/home/integrator/"
    chown -R 1001:1001 "$root/home/integrator"
    out=$(chroot --userspec=1001:1001 "$root" /usr/bin/env -i PATH=/usr/bin:/bin \
        HOME=/home/integrator sh -c 'cd && cc move_and_check.c $(pkg-config --cflags --libs kxrd4) \
        -o move_and_check && ./move_and_check --emulator' 2>&1) ||
        die "the C example built with pkg-config failed: $out"
    grep -q 'at rest at position 1500' <<<"$out" || die "the C example printed: $out"
    log "C example (pkg-config $(in_root pkg-config --modversion kxrd4)): $(tail -n 1 <<<"$out")"
    in_root python3 -c 'import kxrd4' || die "python3 -c 'import kxrd4' failed"
    out=$(chroot --userspec=1001:1001 "$root" /usr/bin/env -i PATH=/usr/bin:/bin \
        HOME=/home/integrator python3 -c '
import kxrd4
with kxrd4.open(emulator=True, serial="PKG-1") as c:
    c.enable(True)
    c.move(700, wait=True, timeout=30)
    print("python3-kxrd4", kxrd4.__version__, c.serial, c.status())
' 2>&1) || die "a Python session against the emulator failed: $out"
    grep -q 'position=700' <<<"$out" || die "the Python session printed: $out"
    log "$out"
fi

# ---- What the package brought ---------------------------------------------------
in_root dpkg -L kxrd4-pc | sort >"$WORK/files.txt"
programs=$(grep -E '^/usr/bin/kxrd4-' "$WORK/files.txt" | xargs -n 1 basename)
for f in /usr/bin/kxrd4-pc /usr/share/applications/kxrd4-pc.desktop \
    /usr/lib/udev/rules.d/70-kxrd4.rules /usr/share/icons/hicolor/scalable/apps/kxrd4-pc.svg \
    /usr/share/man/man1/kxrd4-pc.1.gz /usr/share/doc/kxrd4-pc/copyright; do
    grep -qxF "$f" "$WORK/files.txt" || die "the package does not install $f"
done
chart=$(grep -E '^/usr/lib/.*/kxrd4-pc/libkxrd4-chart\.so$' "$WORK/files.txt" || true)
[ -n "$chart" ] || die "the package does not install the window's chart library"
qxcb=$(in_root sh -c 'ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so 2>/dev/null' || true)
[ -n "$qxcb" ] || die "no Qt X11 platform plugin installed (qt6-qpa-plugins missing from Depends?)"
for f in $(printf '/usr/bin/%s\n' $programs) $chart $qxcb; do
    missing=$(in_root ldd "$f" | grep 'not found' || true)
    [ -z "$missing" ] || die "$f misses libraries: $missing"
done
in_root sh -c 'ls /usr/share/qt6/translations/qtbase_pl.qm' >/dev/null ||
    die "Qt's Polish translation is missing"
in_root sh -c 'fc-list 2>/dev/null | grep -qiE "Liberation Sans|DejaVu Sans" ||
    ls /usr/share/fonts/truetype/liberation*/LiberationSans-Regular.ttf \
       /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf 2>/dev/null | grep -q .' ||
    die "neither Liberation Sans nor DejaVu Sans is installed"

for p in $programs; do
    out=$(in_root "$p" --version 2>&1) || die "$p --version failed: $out"
    grep -qE "(^|[[:space:]])$UPSTREAM([[:space:]]|$)" <<<"$out" ||
        die "$p --version says '$out', the package is $VERSION"
done
log "versions: all say $UPSTREAM"

in_root useradd -m -u 1000 -s /bin/sh tester
if grep -qx kxrd4-cli <<<"$programs"; then
    head -c 2000 /dev/zero >"$root/home/tester/zero.kxp"
    chown 1000:1000 "$root/home/tester/zero.kxp"
    out=$(as_user kxrd4-cli list /home/tester/zero.kxp 2>&1) ||
        die "kxrd4-cli list failed: $out"
    [ -n "$out" ] || die "kxrd4-cli list printed nothing"
    log "kxrd4-cli list: $(wc -l <<<"$out") lines"
fi

# ---- The window, as an ordinary user, on the host's Xvfb -------------------------
display=""
for n in $(seq 91 119); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || die "no free X display number"
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
[ -S "/tmp/.X11-unix/X$display" ] || die "Xvfb did not start, see $WORK/xvfb.log"
mount_in /tmp/.X11-unix --bind /tmp/.X11-unix

mode=()
if as_user kxrd4-pc --help 2>&1 | grep -q -- '--demo'; then mode=(--demo); fi
log "kxrd4-pc ${mode[*]} under Xvfb :$display"
as_user DISPLAY=":$display" KXRD4_SCREENSHOT_DIR=/home/tester/shots \
    timeout 90 kxrd4-pc "${mode[@]}" >"$WORK/kxrd4-pc.log" 2>&1 &
app_pid=$!
title=""
window=""
wm_class=""
wm_icon=""
for _ in $(seq 300); do
    line=$(xwininfo -display ":$display" -root -tree 2>/dev/null | grep -F '"KX-RD4 PC' | head -n 1 || true)
    if [ -n "$line" ]; then
        window=$(awk '{ print $1 }' <<<"$line")
        title=$(sed -n 's/^[^"]*"\(.*\)": (.*$/\1/p' <<<"$line")
        wm_class=$(xprop -display ":$display" -id "$window" WM_CLASS 2>/dev/null || true)
        wm_icon=$(xprop -display ":$display" -id "$window" _NET_WM_ICON 2>/dev/null | head -c 40 || true)
        break
    fi
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
done
app_status=0
wait "$app_pid" || app_status=$?
[ "$app_status" -eq 0 ] || die "kxrd4-pc ended with status $app_status, see $WORK/kxrd4-pc.log"
! grep -q "chart library cannot be loaded" "$WORK/kxrd4-pc.log" ||
    die "the window found no chart library: $(cat "$WORK/kxrd4-pc.log")"
[ -n "$title" ] || die "no window titled 'KX-RD4 PC…' appeared"
log "window title: '$title'; $wm_class"
# The demo says in its caption that the controller is simulated.
expected_title="KX-RD4 PC  -  [Nowy]"
[ ${#mode[@]} -eq 0 ] || expected_title="KX-RD4 PC (symulator)  -  [Nowy]"
# (The demo's screenshots edit P0, which may already mark the caption modified.)
[ "$title" = "$expected_title" ] || [ "$title" = "$expected_title*" ] ||
    die "the window is titled '$title', not '$expected_title'"
grep -q '^_NET_WM_ICON(CARDINAL) = ' <<<"$wm_icon" || die "the window has no icon ($wm_icon)"
rm -rf "$WORK/shots"
mkdir -p "$WORK/shots"
cp "$root"/home/tester/shots/*.png "$WORK/shots/" 2>/dev/null || true
for page in 1-programowanie 2-sterowanie 3-opcje; do
    [ -f "$WORK/shots/$page.png" ] || die "the screenshot mode did not write $page.png"
done

settings="$root/home/tester/.config/kxrd4-pc/config.ini"
[ -f "$settings" ] || die "no settings in ~/.config/kxrd4-pc/config.ini"
[ "$(stat -c %u "$settings")" = 1000 ] || die "the settings file does not belong to the user"
grep -q '^ScreenLeft=' "$settings" && grep -q '^AutoLoad=' "$settings" ||
    die "the settings file lacks its keys: $(cat "$settings")"
[ ! -e "$root/usr/bin/config.ini" ] || die "a config.ini appeared beside the executable"

# ---- Desktop entry ----------------------------------------------------------------
desktop="$root/usr/share/applications/kxrd4-pc.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) || die "desktop-file-validate: $out"
[ -z "$out" ] || die "desktop-file-validate: $out"
wm=$(sed -n 's/^StartupWMClass=//p' "$desktop")
grep -qF "\"$wm\"" <<<"$wm_class" || die "StartupWMClass=$wm is not in the window's $wm_class"

# ---- A newer version over this one keeps the user's settings ------------------------
cp "$settings" "$WORK/settings-before-upgrade.ini"
newer="$WORK/newer"
rm -rf "$newer"
mkdir -p "$newer"
dpkg-deb -R "$DEB" "$newer/pkg"
sed -i "s/^Version: .*/Version: $VERSION.0.1/" "$newer/pkg/DEBIAN/control"
dpkg-deb --root-owner-group -b "$newer/pkg" "$root/tmp/kxrd4-pc-newer.deb" >/dev/null
rm -rf "$newer"
in_root apt-get install -y -q --no-install-recommends /tmp/kxrd4-pc-newer.deb \
    >>"$WORK/apt.log" 2>&1 || die "installing over the old version failed, see $WORK/apt.log"
[ "$(in_root dpkg-query -W -f '${Version}' kxrd4-pc)" = "$VERSION.0.1" ] ||
    die "the newer version was not installed"
cmp -s "$settings" "$WORK/settings-before-upgrade.ini" || die "the upgrade changed the settings"
log "upgrade to $VERSION.0.1 kept the settings"

# ---- Removal ---------------------------------------------------------------------------
in_root apt-get remove -y -q kxrd4-pc >>"$WORK/apt.log" 2>&1 || die "apt-get remove failed"
if [ ${#libs[@]} -gt 0 ]; then
    in_root apt-get remove -y -q python3-kxrd4 libkxrd4-dev libkxrd4-1 >>"$WORK/apt.log" 2>&1 ||
        die "apt-get remove of the library's packages failed"
    cat "$WORK/library-files.txt" >>"$WORK/files.txt"
fi
left=()
while read -r f; do
    if [ -e "$root$f" ] && { [ ! -d "$root$f" ] || [[ "$f" == *kxrd4* ]]; }; then
        left+=("$f")
    fi
done <"$WORK/files.txt"
[ ${#left[@]} -eq 0 ] || die "apt-get remove left behind: ${left[*]}"
[ -f "$settings" ] || die "apt-get remove took the user's settings"
log "removed; only the user's settings remain"

total=$(($(date +%s) - START))
{
    echo "release: $SUITE"
    echo "package: $(basename "$DEB")"
    echo "Depends: $(dpkg-deb --field "$DEB" Depends)"
    echo "Installed-Size: $(dpkg-deb --field "$DEB" Installed-Size) KiB"
    echo "apt-get install: ${install_seconds}s"
    echo "library packages: ${libs[*]##*/}"
    echo "window: '$title' ($wm_class)"
    echo "screenshots: $WORK/shots"
    echo "total: ${total}s"
} | tee "$WORK/summary.txt"
if [ -n "$HASH" ]; then
    echo "$HASH" >"$STAMP"
    echo "install-test: PASSED (stamp written: $STAMP)"
else
    echo "install-test: PASSED"
fi
