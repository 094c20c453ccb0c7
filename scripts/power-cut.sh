#!/usr/bin/env bash
# Power-cut test of saves: boots Debian's own kernel under QEMU (software
# emulation) with a small virtual disk (ext4, or FAT as on a USB stick) in
# write-back cache mode, runs kxrd4_powercut_saver in the guest, which saves a
# program file and config.ini in a loop, and kills QEMU (SIGKILL) at a random
# moment: whatever the guest had not written out is lost, as in a power cut.
# Then it checks the disk image on the host (the ext4 journal is replayed as a
# mount would, then e2fsck -fn; fsck.vfat -n for FAT), takes both files out of
# the image (debugfs, mcopy) and sorts each into old (the last generation the
# guest reported saved), new (the save under way), lost (a reported save
# undone) or torn (missing, empty, short or mixed). Each cut starts from a
# freshly made file system.
#
# Usage: scripts/power-cut.sh [--cuts N] [--fs ext4|vfat|both] [--mutant]
#                             [--build-dir DIR] [--saver FILE]
#                             [--max-delay SECONDS]
#   --cuts       power cuts per file system (default 200)
#   --fs         file systems to test (default both)
#   --mutant     use a build whose saves never flush the new content (neither
#                before the rename nor after it)
#                (CMake option KXRD4_POWERCUT_MUTANT); the run then passes
#                only when the test catches it (torn or lost files seen)
#   --build-dir  build folder (default build/powercut, or
#                build/powercut-mutant with --mutant); configured and the
#                saver built there if missing; the kernel is cached in
#                DIR/powercut-cache, logs go to DIR/power-cut
#   --saver      the saver program (default: built in the build folder)
#   --max-delay  the cut comes 0..SECONDS after the saver started (default 4)
# Exits 0 when every file of every cut was old or new and every file system
# check was clean (with --mutant: when some file was torn or lost).
# Needs root (or sudo) only to install missing packages.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CUTS=200
FS_LIST=(ext4 vfat)
MUTANT=0
BUILD_DIR=""
SAVER=""
MAX_DELAY=4
BOOT_LIMIT=180

log() { echo "power-cut: $*"; }
die() {
    echo "power-cut: error: $*" >&2
    exit 2
}

while [ $# -gt 0 ]; do
    case "$1" in
    --cuts)
        [ $# -ge 2 ] && [[ "$2" =~ ^[1-9][0-9]*$ ]] || die "--cuts needs a positive number"
        CUTS="$2"
        shift 2
        ;;
    --fs)
        [ $# -ge 2 ] || die "--fs needs ext4, vfat or both"
        case "$2" in
        ext4 | vfat) FS_LIST=("$2") ;;
        both) FS_LIST=(ext4 vfat) ;;
        *) die "--fs takes ext4, vfat or both, not '$2'" ;;
        esac
        shift 2
        ;;
    --mutant)
        MUTANT=1
        shift
        ;;
    --build-dir)
        [ $# -ge 2 ] || die "--build-dir needs a folder"
        BUILD_DIR="$2"
        shift 2
        ;;
    --saver)
        [ $# -ge 2 ] || die "--saver needs a file"
        SAVER="$2"
        shift 2
        ;;
    --max-delay)
        [ $# -ge 2 ] && [[ "$2" =~ ^[1-9][0-9]*$ ]] || die "--max-delay needs a number of seconds"
        MAX_DELAY="$2"
        shift 2
        ;;
    -h | --help)
        sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'
        exit 0
        ;;
    *) die "unknown argument '$1' (see --help)" ;;
    esac
done

if [ -z "$BUILD_DIR" ]; then
    BUILD_DIR="$ROOT/build/powercut"
    [ "$MUTANT" -eq 0 ] || BUILD_DIR="$ROOT/build/powercut-mutant"
fi
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
WORK="$BUILD_DIR/power-cut"
CACHE="$BUILD_DIR/powercut-cache"
mkdir -p "$WORK" "$CACHE"

SUDO=""
if [ "$(id -u)" -ne 0 ] && command -v sudo >/dev/null 2>&1; then SUDO="sudo"; fi

# --- Packages -----------------------------------------------------------------
busybox_is_static() {
    [ -x /bin/busybox ] && ! ldd /bin/busybox >/dev/null 2>&1
}
export PATH="$PATH:/usr/sbin:/sbin"
missing=()
command -v qemu-system-x86_64 >/dev/null 2>&1 || missing+=(qemu-system-x86)
busybox_is_static || missing+=(busybox-static)
command -v cpio >/dev/null 2>&1 || missing+=(cpio)
command -v mkfs.vfat >/dev/null 2>&1 && command -v fsck.vfat >/dev/null 2>&1 || missing+=(dosfstools)
command -v mcopy >/dev/null 2>&1 || missing+=(mtools)
command -v mkfs.ext4 >/dev/null 2>&1 && command -v debugfs >/dev/null 2>&1 || missing+=(e2fsprogs)
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
# Loaded in this order in the guest (each after the modules it needs).
MODULES=(virtio_ring virtio virtio_pci_modern_dev virtio_pci_legacy_dev virtio_pci virtio_blk
    crc32c_generic crc16 mbcache jbd2 ext4 fat vfat nls_cp437 nls_utf8 nls_iso8859-1 nls_ascii)

# shellcheck source=kernel-cache.sh
source "$ROOT/scripts/kernel-cache.sh"
kernel_cache "$CACHE" "${MODULES[@]}"

# --- Saver ----------------------------------------------------------------------
if [ -z "$SAVER" ]; then
    SAVER="$BUILD_DIR/tests/files/kxrd4_powercut_saver"
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        log "configuring $BUILD_DIR"
        mutant_option=OFF
        [ "$MUTANT" -eq 0 ] || mutant_option=ON
        (cd "$ROOT" && cmake --preset release -B "$BUILD_DIR" -DKXRD4_WITH_UI=OFF \
            -DKXRD4_WITH_BENCH=OFF -DKXRD4_POWERCUT_MUTANT=$mutant_option >/dev/null)
    fi
    log "building kxrd4_powercut_saver"
    cmake --build "$BUILD_DIR" --target kxrd4_powercut_saver -j2 >/dev/null
fi
[ -x "$SAVER" ] || die "the saver $SAVER does not exist (build the target kxrd4_powercut_saver)"
if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
    built_mutant=$(sed -n 's/^KXRD4_POWERCUT_MUTANT:BOOL=//p' "$BUILD_DIR/CMakeCache.txt")
    case "$MUTANT/${built_mutant:-OFF}" in
    0/ON) die "$BUILD_DIR is a mutant build (KXRD4_POWERCUT_MUTANT=ON); give --mutant" ;;
    1/OFF) die "$BUILD_DIR is no mutant build; configure it with -DKXRD4_POWERCUT_MUTANT=ON" ;;
    esac
fi

# --- Initramfs ----------------------------------------------------------------
STAGE=$(mktemp -d "$WORK/stage.XXXXXX")
SCRATCH=$(mktemp -d "$WORK/scratch.XXXXXX")
QEMU_PID=""
cleanup() {
    if [ -n "$QEMU_PID" ]; then kill -KILL "$QEMU_PID" 2>/dev/null || true; fi
    rm -rf "$STAGE" "$SCRATCH"
}
trap cleanup EXIT

chmod 0755 "$STAGE"
mkdir -p "$STAGE"/{bin,dev,etc,proc,sys,tmp,mnt,modules}
cp /bin/busybox "$STAGE/bin/busybox"
ln -s busybox "$STAGE/bin/sh"
install -m 0755 "$ROOT/tests/files/powercut/init.sh" "$STAGE/init"
for m in $(cat "$CACHE/modules/order"); do
    cp "$CACHE/modules/$m.ko" "$STAGE/modules/"
done
cp "$CACHE/modules/order" "$STAGE/etc/modules-order"
mknod -m 0600 "$STAGE/dev/console" c 5 1 2>/dev/null || true
cp "$SAVER" "$STAGE/bin/kxrd4_powercut_saver"
strip --strip-debug "$STAGE/bin/kxrd4_powercut_saver" 2>/dev/null || true
ldd "$SAVER" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' |
    while read -r lib; do
        mkdir -p "$STAGE$(dirname "$lib")"
        cp -L "$lib" "$STAGE$lib"
    done
INITRD="$WORK/initrd.gz"
(cd "$STAGE" && find . -print0 | LC_ALL=C sort -z |
    cpio --null -o -H newc --quiet -R 0:0 | gzip -1 >"$INITRD.tmp")
mv "$INITRD.tmp" "$INITRD"

# --- One cut ------------------------------------------------------------------
IMAGE="$SCRATCH/disk.img"
LOG="$SCRATCH/console.log"

make_disk() {
    rm -f "$IMAGE"
    truncate -s 64M "$IMAGE"
    case "$1" in
    ext4) mkfs.ext4 -q -F "$IMAGE" ;;
    vfat) mkfs.vfat -F 32 "$IMAGE" >/dev/null ;;
    esac
}

# Prints the file system check's verdict on the image: "clean"; "mended" when
# FAT shows only what any power cut leaves there (clusters allocated but not
# yet in a file, or a hidden temporary file of the save under way, which a
# check mends and the saved files do not depend on); else "errors".
check_disk() {
    case "$1" in
    ext4)
        # A mount would replay the journal first.
        e2fsck -E journal_only -y "$IMAGE" >"$SCRATCH/fsck.log" 2>&1 || true
        if e2fsck -fn "$IMAGE" >>"$SCRATCH/fsck.log" 2>&1; then echo clean; else echo errors; fi
        ;;
    vfat)
        fsck.vfat -n "$IMAGE" >"$SCRATCH/fsck.log" 2>&1 || true
        awk '
            # The dirty bit (byte 65 of the boot sector, not in its backup) that
            # every unclean stop leaves, and the free-cluster hint the driver
            # recomputes.
            /^fsck\.fat [0-9.]+ / || /^There are differences between boot sector and its backup/ ||
            /^This is mostly harmless/ || /^  65:01\/00$/ || /^  Not automatically fixing this/ ||
            /^Dirty bit is set/ || /^ Automatically removing dirty bit/ ||
            /^Free cluster summary wrong/ || /^  Auto-correcting/ ||
            /^Leaving filesystem unchanged/ || /^$/ || /: [0-9]+ files, [0-9]+\/[0-9]+ clusters$/ { temporary = 0; next }
            /^Reclaimed [0-9]+ unused clusters/ { mended = 1; temporary = 0; next }
            /^\// {
                temporary = ($0 ~ /\/\.[^\/]*\.tmp[0-9]+-[0-9]+-[0-9]+$/)
                if (temporary) { mended = 1 } else { bad = 1 }
                next
            }
            /^  / && temporary { next }
            { bad = 1 }
            END { print bad ? "errors" : mended ? "mended" : "clean" }
        ' "$SCRATCH/fsck.log"
        ;;
    esac
}

extract_file() { # fs name destination
    rm -f "$3"
    case "$1" in
    ext4) debugfs -R "dump -p /$2 $3" "$IMAGE" >/dev/null 2>&1 || true ;;
    vfat) MTOOLS_SKIP_CHECK=1 mcopy -n -i "$IMAGE" "::/$2" "$3" >/dev/null 2>&1 || true ;;
    esac
}

declare -A TALLY
kept=0
failed_cuts=0
cut_seconds_total=0
cut_count=0

# Boots the guest on a fresh disk and waits until the saver has started.
# Returns 1 when the guest never got there (a boot that failed under load).
boot_until_started() { # fs
    make_disk "$1"
    : >"$LOG"
    # no_timer_check: under software emulation on a busy machine the kernel's
    # check of the timer interrupt can fail and stop the boot.
    qemu-system-x86_64 -m 256 -nographic -no-reboot -cpu max -nic none \
        -kernel "$CACHE/vmlinuz" -initrd "$INITRD" \
        -drive "file=$IMAGE,format=raw,if=virtio,cache=writeback" \
        -append "console=ttyS0 panic=-1 quiet no_timer_check kxrd4fs=$1" </dev/null >"$LOG" 2>&1 &
    QEMU_PID=$!
    local waited=0
    while ! grep -q 'KXRD4-POWERCUT STARTED' "$LOG"; do
        if grep -q 'KXRD4-POWERCUT ERROR' "$LOG" || ! kill -0 "$QEMU_PID" 2>/dev/null ||
            [ $waited -ge $((BOOT_LIMIT * 10)) ]; then
            kill -KILL "$QEMU_PID" 2>/dev/null || true
            wait "$QEMU_PID" 2>/dev/null || true
            QEMU_PID=""
            cp "$LOG" "$WORK/console-failed.log"
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

run_cut() { # fs number
    local fs=$1 n=$2 started=$SECONDS attempt
    for attempt in 1 2 3; do
        boot_until_started "$fs" && break
        if grep -q 'KXRD4-POWERCUT ERROR' "$LOG" || [ $attempt -eq 3 ]; then
            die "cut $n on $fs: the saver did not start (console log in $WORK/console-failed.log)"
        fi
        log "$fs cut $n: the guest did not boot; again"
    done
    local delay_ms=$((RANDOM * 32768 + RANDOM))
    delay_ms=$((delay_ms % (MAX_DELAY * 1000 + 1)))
    sleep "$((delay_ms / 1000)).$(printf '%03d' $((delay_ms % 1000)))"
    kill -KILL "$QEMU_PID" 2>/dev/null || true
    wait "$QEMU_PID" 2>/dev/null || true
    QEMU_PID=""
    if grep -q 'KXRD4-POWERCUT ERROR' "$LOG"; then
        cp "$LOG" "$WORK/console-failed.log"
        die "cut $n on $fs: $(tr -d '\r' <"$LOG" | grep -m1 'KXRD4-POWERCUT ERROR')"
    fi
    local last
    last=$(tr -d '\r' <"$LOG" | sed -n 's/^KXRD4-POWERCUT SAVED \([0-9][0-9]*\)$/\1/p' | tail -n 1)
    last=${last:-0}

    local fsck verdicts program config
    fsck=$(check_disk "$fs")
    extract_file "$fs" program.kxp "$SCRATCH/program.kxp"
    extract_file "$fs" config.ini "$SCRATCH/config.ini"
    verdicts=$("$SAVER" verify "$SCRATCH/program.kxp" "$SCRATCH/config.ini" "$last")
    program=$(sed -n 's/.*program=\([a-z]*\).*/\1/p' <<<"$verdicts")
    config=$(sed -n 's/.*config=\([a-z]*\).*/\1/p' <<<"$verdicts")
    TALLY[$fs/program/$program]=$((${TALLY[$fs/program/$program]:-0} + 1))
    TALLY[$fs/config/$config]=$((${TALLY[$fs/config/$config]:-0} + 1))
    TALLY[$fs/fsck/$fsck]=$((${TALLY[$fs/fsck/$fsck]:-0} + 1))
    local seconds=$((SECONDS - started))
    cut_seconds_total=$((cut_seconds_total + seconds))
    cut_count=$((cut_count + 1))
    log "$fs cut $n/$CUTS: after $delay_ms ms, saved $last; program $program, config.ini $config, check $fsck (${seconds}s)"
    if [ "$program" = torn ] || [ "$program" = lost ] || [ "$config" = torn ] ||
        [ "$config" = lost ] || [ "$fsck" = errors ]; then
        failed_cuts=$((failed_cuts + 1))
        if [ $kept -lt 3 ]; then
            kept=$((kept + 1))
            cp --sparse=always "$IMAGE" "$WORK/failed-$kept-$fs.img"
            cp "$LOG" "$WORK/failed-$kept-$fs.console.log"
            cp "$SCRATCH/fsck.log" "$WORK/failed-$kept-$fs.fsck.log"
            log "  kept as $WORK/failed-$kept-$fs.img"
        fi
    fi
}

variant="with the flush"
[ "$MUTANT" -eq 0 ] || variant="MUTANT: the new content never flushed"
log "$CUTS cuts on ${FS_LIST[*]} ($variant), cut 0..${MAX_DELAY}s after the saver started"
for fs in "${FS_LIST[@]}"; do
    for ((n = 1; n <= CUTS; n++)); do
        run_cut "$fs" "$n"
    done
done

# --- Summary --------------------------------------------------------------------
count() { echo "${TALLY[$1]:-0}"; }
log "summary ($variant), $cut_count cuts, $((cut_seconds_total / cut_count))s per cut:"
for fs in "${FS_LIST[@]}"; do
    for file in program config; do
        log "  $fs $file: old $(count "$fs/$file/old"), new $(count "$fs/$file/new"), torn $(count "$fs/$file/torn"), lost $(count "$fs/$file/lost")"
    done
    log "  $fs check: clean $(count "$fs/fsck/clean"), mended $(count "$fs/fsck/mended"), errors $(count "$fs/fsck/errors")"
done
if [ "$MUTANT" -eq 0 ]; then
    if [ "$failed_cuts" -eq 0 ]; then
        log "PASSED: every file was the old or the new complete content"
        exit 0
    fi
    log "FAILED: $failed_cuts of $cut_count cuts left a torn or lost file or a damaged file system"
    exit 1
fi
if [ "$failed_cuts" -gt 0 ]; then
    log "PASSED: the test caught the build without the flush in $failed_cuts of $cut_count cuts"
    exit 0
fi
log "FAILED: the build without the flush passed every cut; the test does not catch it"
exit 1
