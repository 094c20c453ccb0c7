#!/usr/bin/env bash
# Runs the HID link's tests in a real Linux kernel: boots Debian's own kernel
# under QEMU (software emulation) with an initramfs that holds busybox, the
# modules hid, hid-generic and uhid, the test programs, the simulator kxrd4-sim
# (as /bin/kxrd4-sim), the command-line tool kxrd4-cli (as /bin/kxrd4-cli) and
# the shared libraries they need (with --library also python3 and the module
# kxrd4), runs the tests (or
# COMMAND) as init and exits with their status.
#
# Usage: scripts/kernel-e2e.sh [--build-dir DIR] [--test-binary FILE]...
#                              [--sim FILE] [--cli FILE] [--library FILE]
#                              [--timeout SECONDS] [-- COMMAND [ARG]...]
#   --build-dir    build folder holding the tests (default: build/kernel); the
#                  kernel is cached in DIR/kernel-cache, the console log is
#                  written to DIR/kernel-e2e/console.log
#   --test-binary  a test program to run in the guest (default:
#                  DIR/tests/device/kxrd4_kernel_tests, built if missing);
#                  may be given several times
#   --sim          the simulator (default: DIR/src/emulator/sim/kxrd4-sim,
#                  built if missing)
#   --cli          the command-line tool (default: DIR/src/cli/kxrd4-cli,
#                  built if missing)
#   --library      libkxrd4.so.1: with it the guest gets python3 (this machine's,
#                  with its standard library), the module kxrd4 and
#                  examples/production_line.py in /opt/kxrd4, and runs
#                  tests/lib/kernel/production_line.sh as one more test program
#   --timeout      limit for the whole boot in seconds (default 180)
#   COMMAND        runs in the guest instead of the tests; the test programs
#                  are on its PATH (e.g. -- kxrd4_kernel_tests --gtest_filter=X)
# Needs root (or sudo) only to install missing packages.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR="$ROOT/build/kernel"
TEST_BINARIES=()
SIM=""
CLI=""
LIBRARY=""
TIMEOUT="${KXRD4_E2E_TIMEOUT:-180}"
COMMAND=()

log() { echo "kernel-e2e: $*"; }
die() {
    echo "kernel-e2e: error: $*" >&2
    exit 1
}

while [ $# -gt 0 ]; do
    case "$1" in
    --build-dir)
        [ $# -ge 2 ] || die "--build-dir needs a folder"
        BUILD_DIR="$2"
        shift 2
        ;;
    --test-binary)
        [ $# -ge 2 ] || die "--test-binary needs a file"
        TEST_BINARIES+=("$2")
        shift 2
        ;;
    --sim)
        [ $# -ge 2 ] || die "--sim needs a file"
        SIM="$2"
        shift 2
        ;;
    --cli)
        [ $# -ge 2 ] || die "--cli needs a file"
        CLI="$2"
        shift 2
        ;;
    --library)
        [ $# -ge 2 ] || die "--library needs a file"
        LIBRARY="$2"
        shift 2
        ;;
    --timeout)
        [ $# -ge 2 ] || die "--timeout needs a number of seconds"
        TIMEOUT="$2"
        shift 2
        ;;
    --)
        shift
        COMMAND=("$@")
        break
        ;;
    -h | --help)
        sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'
        exit 0
        ;;
    *) die "unknown argument '$1' (see --help)" ;;
    esac
done
[[ "$TIMEOUT" =~ ^[0-9]+$ ]] && [ "$TIMEOUT" -ge 30 ] || die "--timeout must be a number of seconds, at least 30"

mkdir -p "$BUILD_DIR"
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
WORK="$BUILD_DIR/kernel-e2e"
CACHE="$BUILD_DIR/kernel-cache"
mkdir -p "$WORK" "$CACHE"

SUDO=""
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then SUDO="sudo"; fi

# --- Packages -----------------------------------------------------------------
busybox_is_static() {
    [ -x /bin/busybox ] && ! ldd /bin/busybox >/dev/null 2>&1
}
missing=()
command -v qemu-system-x86_64 >/dev/null 2>&1 || missing+=(qemu-system-x86)
busybox_is_static || missing+=(busybox-static)
command -v cpio >/dev/null 2>&1 || missing+=(cpio)
if [ ${#missing[@]} -gt 0 ]; then
    log "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; then
        $SUDO apt-get update -q
        $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
    fi
fi
busybox_is_static || die "/bin/busybox is not a static busybox (package busybox-static)"

# --- Kernel -------------------------------------------------------------------
MODULES=(hid hid-generic uhid)

# shellcheck source=kernel-cache.sh
source "$ROOT/scripts/kernel-cache.sh"
kernel_cache "$CACHE" "${MODULES[@]}"

# --- Test programs --------------------------------------------------------------
if [ ${#TEST_BINARIES[@]} -eq 0 ]; then
    TEST_BINARIES=("$BUILD_DIR/tests/device/kxrd4_kernel_tests")
    if [ ! -x "${TEST_BINARIES[0]}" ]; then
        if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
            log "configuring $BUILD_DIR"
            (cd "$ROOT" && cmake --preset debug -B "$BUILD_DIR" -DKXRD4_WITH_UI=OFF \
                -DKXRD4_WITH_BENCH=OFF >/dev/null)
        fi
        log "building kxrd4_kernel_tests"
        cmake --build "$BUILD_DIR" --target kxrd4_kernel_tests -j2
    fi
fi
for t in "${TEST_BINARIES[@]}"; do
    [ -x "$t" ] || die "test program $t does not exist (build the target kxrd4_kernel_tests)"
done
if [ -z "$SIM" ]; then
    SIM="$BUILD_DIR/src/emulator/sim/kxrd4-sim"
    if [ ! -x "$SIM" ]; then
        log "building kxrd4-sim"
        cmake --build "$BUILD_DIR" --target kxrd4-sim -j2
    fi
fi
[ -x "$SIM" ] || die "the simulator $SIM does not exist (build the target kxrd4-sim)"
if [ -z "$CLI" ]; then
    CLI="$BUILD_DIR/src/cli/kxrd4-cli"
    if [ ! -x "$CLI" ]; then
        log "building kxrd4-cli"
        cmake --build "$BUILD_DIR" --target kxrd4-cli -j2
    fi
fi
[ -x "$CLI" ] || die "the command-line tool $CLI does not exist (build the target kxrd4-cli)"

# --- Initramfs ----------------------------------------------------------------
STAGE=$(mktemp -d "$WORK/stage.XXXXXX")
cleanup() { rm -rf "$STAGE"; }
trap cleanup EXIT
chmod 0755 "$STAGE" # the guest's root folder; tests also run as an unprivileged user

mkdir -p "$STAGE"/{bin,dev,etc,proc,sys,tmp,run,modules,tests}
cp /bin/busybox "$STAGE/bin/busybox"
ln -s busybox "$STAGE/bin/sh"
install -m 0755 "$ROOT/tests/device/kernel/init.sh" "$STAGE/init"
for m in $(cat "$CACHE/modules/order"); do
    cp "$CACHE/modules/$m.ko" "$STAGE/modules/"
done
cp "$CACHE/modules/order" "$STAGE/etc/modules-order"
# The kernel's own initramfs part normally brings /dev/console; make sure.
mknod -m 0600 "$STAGE/dev/console" c 5 1 2>/dev/null || true

copy_libraries() {
    local lib
    ldd "$1" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' |
        while read -r lib; do
            if [ ! -e "$STAGE$lib" ]; then
                mkdir -p "$STAGE$(dirname "$lib")"
                cp -L "$lib" "$STAGE$lib"
            fi
        done
}
cp "$SIM" "$STAGE/bin/kxrd4-sim"
strip --strip-debug "$STAGE/bin/kxrd4-sim" 2>/dev/null || true
copy_libraries "$SIM"
cp "$CLI" "$STAGE/bin/kxrd4-cli"
strip --strip-debug "$STAGE/bin/kxrd4-cli" 2>/dev/null || true
copy_libraries "$CLI"
for t in "${TEST_BINARIES[@]}"; do
    name=$(basename "$t")
    cp "$t" "$STAGE/tests/$name"
    strip --strip-debug "$STAGE/tests/$name" 2>/dev/null || true
    copy_libraries "$t"
done

if [ -n "$LIBRARY" ]; then
    [ -f "$LIBRARY" ] || die "the library $LIBRARY does not exist"
    python=$(readlink -f /usr/bin/python3)
    stdlib=$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_paths()["stdlib"])')
    mkdir -p "$STAGE/usr/bin" "$STAGE$stdlib" "$STAGE/opt/kxrd4/lib" "$STAGE/opt/kxrd4/python"
    cp "$python" "$STAGE/usr/bin/python3"
    copy_libraries "$python"
    # The standard library without its tests, GUI and installers.
    tar -C "$stdlib" --exclude=./test --exclude=./idlelib --exclude=./tkinter \
        --exclude=./ensurepip --exclude=./lib2to3 --exclude=./pydoc_data \
        --exclude=./site-packages --exclude=./dist-packages --exclude='./config-*' \
        --exclude=__pycache__ -cf - . | tar -C "$STAGE$stdlib" -xf -
    for so in "$stdlib"/lib-dynload/*.so; do copy_libraries "$so"; done
    cp -L "$LIBRARY" "$STAGE/opt/kxrd4/lib/libkxrd4.so.1"
    copy_libraries "$LIBRARY"
    cp -r "$ROOT/src/lib/python/kxrd4" "$STAGE/opt/kxrd4/python/"
    cp "$ROOT/examples/production_line.py" "$STAGE/opt/kxrd4/"
    install -m 0755 "$ROOT/tests/lib/kernel/production_line.sh" "$STAGE/tests/kxrd4_production_line"
fi

if [ ${#COMMAND[@]} -gt 0 ]; then
    {
        printf 'exec'
        for a in "${COMMAND[@]}"; do
            printf " '%s'" "${a//\'/\'\\\'\'}"
        done
        printf '\n'
    } >"$STAGE/etc/e2e-command"
fi
echo $((TIMEOUT > 60 ? TIMEOUT - 30 : TIMEOUT / 2)) >"$STAGE/etc/e2e-timeout"

INITRD="$WORK/initrd.gz"
(cd "$STAGE" && find . -print0 | LC_ALL=C sort -z |
    cpio --null -o -H newc --quiet -R 0:0 | gzip -1 >"$INITRD.tmp")
mv "$INITRD.tmp" "$INITRD"
log "initramfs: $(du -h "$INITRD" | cut -f1)"

# --- Boot -----------------------------------------------------------------------
LOG="$WORK/console.log"
log "booting (limit ${TIMEOUT}s); console log in $LOG"
set +e
# As many virtual CPUs as this machine has cores (parallel work in the guest).
timeout -k 10 "$TIMEOUT" qemu-system-x86_64 -m 768 -smp "$(nproc)" -nographic -no-reboot -cpu max \
    -kernel "$CACHE/vmlinuz" -initrd "$INITRD" \
    -append "console=ttyS0 panic=-1 quiet" </dev/null 2>&1 | tee "$LOG"
qemu_status=${PIPESTATUS[0]}
set -e

status=$(tr -d '\r' <"$LOG" | sed -n 's/^KXRD4-E2E EXIT STATUS: \([0-9][0-9]*\)$/\1/p' | tail -n 1)
if [ -z "$status" ]; then
    if [ "$qemu_status" -eq 124 ] || [ "$qemu_status" -eq 137 ]; then
        die "the guest did not finish within ${TIMEOUT}s"
    fi
    die "the guest ended without a result (qemu exit status $qemu_status)"
fi
if [ "$status" -eq 0 ]; then
    log "PASSED"
else
    log "FAILED with status $status"
fi
exit "$status"
