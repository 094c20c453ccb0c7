#!/usr/bin/env bash
# Usage: scripts/debian-root.sh [--suite SUITE] [--fresh] [--minbase-only] [-- COMMAND [ARG]...]
# Runs COMMAND (default: an interactive shell) as root inside a Debian root of
# the given release, with this project bind-mounted read-write at /project and
# the working folder set there, so that what the scripts do on a fresh Debian
# machine can be done from any other one.
#   --suite         the release's code name (default: trixie); any suite that
#                   debootstrap knows
#   --fresh         a new root unpacked from the minimal base, removed again
#                   afterwards: a freshly installed machine. Without it the
#                   root is kept between runs, so packages installed in it
#                   (scripts/setup.sh) stay for the next run.
#   --minbase-only  make the cached minimal base if missing, print its path
#                   and exit (scripts/install-test.sh shares it)
# The minimal base (debootstrap --variant=minbase, as a tarball) and the kept
# root live in ${KXRD4_ROOT_CACHE:-~/.cache/kxrd4-pc/debian}. The root sees
# /proc, /sys, /dev (bind), /dev/shm and the host's resolv.conf; the package
# sources are the base's own unless KXRD4_DEBIAN_MIRROR names a mirror.
# KXRD4_CCACHE_DIR, when set, is bound at /ccache as the root's compiler cache
# (scripts/test.sh shares its own so). The project's build folders inside the root are its own: build/<suite>/... is
# left to the caller. Needs root (debootstrap, chroot, mounts).
set -euo pipefail

ROOT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SUITE=trixie
FRESH=""
MINBASE_ONLY=""
COMMAND=()
CACHE="${KXRD4_ROOT_CACHE:-${HOME:-/root}/.cache/kxrd4-pc/debian}"

log() { echo "debian-root: $*" >&2; }
die() {
    echo "debian-root: error: $*" >&2
    exit 1
}

while [ $# -gt 0 ]; do
    case "$1" in
    --suite)
        [ $# -ge 2 ] || die "--suite needs a release name"
        SUITE="$2"
        shift 2
        ;;
    --fresh)
        FRESH=1
        shift
        ;;
    --minbase-only)
        MINBASE_ONLY=1
        shift
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
[[ "$SUITE" =~ ^[a-z]+$ ]] || die "'$SUITE' is not a release's code name"
[ "$(id -u)" -eq 0 ] || die "needs root (debootstrap, chroot and mounts)"

mirror() {
    if [ -n "${KXRD4_DEBIAN_MIRROR:-}" ]; then
        echo "$KXRD4_DEBIAN_MIRROR"
        return
    fi
    local uri
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '$1 == "URIs:" && $2 !~ /security/ { print $2; exit }')
    [ -n "$uri" ] || uri=$(awk '$1 == "deb" && $2 !~ /security/ { print $2; exit }' \
        /etc/apt/sources.list 2>/dev/null || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

mkdir -p "$CACHE"
BASE="$CACHE/$SUITE-minbase.tar.gz"
if [ ! -f "$BASE" ]; then
    command -v debootstrap >/dev/null || bash "$ROOT_DIR/scripts/setup.sh" >&2
    log "debootstrap $SUITE (minbase) from $(mirror)"
    boot=$(mktemp -d "$CACHE/debootstrap.XXXXXX")
    chmod 755 "$boot"
    if ! debootstrap --variant=minbase "$SUITE" "$boot" "$(mirror)" >"$CACHE/debootstrap-$SUITE.log" 2>&1; then
        grep -q " $boot[/ ]" /proc/self/mounts || rm -rf "$boot"
        die "debootstrap failed, see $CACHE/debootstrap-$SUITE.log"
    fi
    grep -q " $boot[/ ]" /proc/self/mounts && die "debootstrap left mounts below $boot"
    # The release's own package sources, updates and security included, so that
    # the root installs what a fresh machine of that release installs.
    if [ -z "${KXRD4_DEBIAN_MIRROR:-}" ]; then
        rm -f "$boot/etc/apt/sources.list"
        cat >"$boot/etc/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $(mirror)
Suites: $SUITE $SUITE-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: $SUITE-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    fi
    tar -C "$boot" -czf "$BASE.tmp" .
    mv "$BASE.tmp" "$BASE"
    rm -rf "$boot"
fi
if [ -n "$MINBASE_ONLY" ]; then
    echo "$BASE"
    exit 0
fi

mounts=()
root=""
cleanup() {
    set +e
    local i
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount -R "${mounts[i]}" 2>/dev/null || umount -R -l "${mounts[i]}"
    done
    if [ -n "$FRESH" ] && [ -n "$root" ]; then
        # Never remove the root while anything of the host is still mounted in it.
        if grep -q " $root[/ ]" /proc/self/mounts; then
            log "$root is still mounted in part; left in place"
        else
            rm -rf "$root"
        fi
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

if [ -n "$FRESH" ]; then
    root=$(mktemp -d "$CACHE/$SUITE-fresh.XXXXXX")
    tar -C "$root" -xzf "$BASE"
else
    root="$CACHE/$SUITE-root"
    if [ ! -f "$root/.ready" ]; then
        rm -rf "$root"
        mkdir -p "$root"
        tar -C "$root" -xzf "$BASE"
        touch "$root/.ready"
    fi
fi
chmod 755 "$root"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in /proc -t proc proc
mount_in /sys --rbind /sys
mount_in /dev --rbind /dev
mount_in /dev/shm -t tmpfs tmpfs
mount_in /tmp -t tmpfs tmpfs
mount_in /project --bind "$ROOT_DIR"
# The caller's compiler cache (scripts/test.sh names it), shared with the root.
ccache_env=()
if [ -n "${KXRD4_CCACHE_DIR:-}" ]; then
    mkdir -p "$KXRD4_CCACHE_DIR"
    mount_in /ccache --bind "$KXRD4_CCACHE_DIR"
    ccache_env=(CCACHE_DIR=/ccache)
fi

[ ${#COMMAND[@]} -gt 0 ] || COMMAND=(bash -l)
log "$SUITE root $root: ${COMMAND[*]}"
status=0
chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" DEBIAN_FRONTEND=noninteractive ${CI:+CI="$CI"} \
    "${ccache_env[@]}" \
    sh -c 'cd /project && exec "$@"' sh "${COMMAND[@]}" || status=$?
exit "$status"
