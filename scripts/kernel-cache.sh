# Sourced by scripts/kernel-e2e.sh and scripts/power-cut.sh: Debian's own
# kernel (the one linux-image-amd64 depends on) and the modules a guest needs,
# unpacked once into a cache folder: CACHE/vmlinuz, CACHE/modules/NAME.ko,
# CACHE/modules/order (the modules to load, in the order asked for: those the
# kernel has built in are left out, as Debian 13's has virtio) and CACHE/ready
# (the package's file name). The caller defines log, die and SUDO.
#
#   kernel_cache CACHE MODULE...   fills CACHE unless it is ready (under a lock)

kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null |
        awk '$1 == "Depends:" && $2 ~ /^linux-image-/ { print $2; exit }'
}

kernel_fetch() {
    local cache=$1
    shift
    local dl="$cache/download"
    rm -rf "$dl"
    mkdir -p "$dl"
    local pkg
    pkg=$(kernel_package || true)
    if [ -z "$pkg" ] || ! (cd "$dl" && apt-get download "$pkg" 2>/dev/null); then
        log "refreshing the package lists"
        $SUDO apt-get update -q
        pkg=$(kernel_package || true)
        [ -n "$pkg" ] || die "cannot tell which kernel package linux-image-amd64 depends on"
        (cd "$dl" && apt-get download "$pkg") || die "cannot download $pkg"
    fi
    local deb
    deb=$(ls "$dl"/*.deb | head -n 1)
    log "extracting $(basename "$deb")"
    local listing
    listing=$(dpkg-deb --fsys-tarfile "$deb" | tar -t)
    local vmlinuz
    vmlinuz=$(grep -E '^\./boot/vmlinuz-' <<<"$listing" | head -n 1)
    [ -n "$vmlinuz" ] || die "no vmlinuz in $deb"
    # modules.builtin names the kernel's built-in modules by file, with '-'
    # and '_' as the build had them.
    local builtin builtins=""
    builtin=$(grep -E '^\./(usr/)?lib/modules/[^/]+/modules\.builtin$' <<<"$listing" | head -n 1 || true)
    mkdir -p "$dl/x"
    if [ -n "$builtin" ]; then
        dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$dl/x" "$builtin"
        builtins=$(tr '-' '_' <"$dl/x/$builtin")
    fi
    local wanted=("$vmlinuz") order=() m path
    for m in "$@"; do
        # (|| true: under errexit and pipefail a module grep does not find
        # would end the caller without a word)
        path=$(grep -E "/kernel/.*/$m\.ko(\.xz|\.zst|\.gz)?\$" <<<"$listing" | head -n 1 || true)
        if [ -z "$path" ]; then
            if grep -qE "/${m//-/_}\.ko\$" <<<"$builtins"; then
                log "module $m is built into the kernel"
                continue
            fi
            die "module $m not found in $deb"
        fi
        wanted+=("$path")
        order+=("$m")
    done
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$dl/x" "${wanted[@]}"
    rm -rf "$cache/modules"
    mkdir -p "$cache/modules"
    echo "${order[*]}" >"$cache/modules/order"
    cp "$dl/x/$vmlinuz" "$cache/vmlinuz"
    for path in "${wanted[@]:1}"; do
        m=$(basename "$path")
        case "$m" in
        *.ko.xz) xz -dc "$dl/x/$path" >"$cache/modules/${m%.xz}" 2>/dev/null ||
            busybox unxz -c "$dl/x/$path" >"$cache/modules/${m%.xz}" ;;
        *.ko.zst) zstd -qdc "$dl/x/$path" >"$cache/modules/${m%.zst}" ||
            die "zstd is needed to unpack $m" ;;
        *.ko.gz) gzip -dc "$dl/x/$path" >"$cache/modules/${m%.gz}" ;;
        *) cp "$dl/x/$path" "$cache/modules/$m" ;;
        esac
    done
    echo "$(basename "$deb")" >"$cache/ready"
    rm -rf "$dl"
}

kernel_cache() {
    local cache=$1
    mkdir -p "$cache"
    (
        flock 9
        if [ ! -f "$cache/ready" ] || [ ! -f "$cache/vmlinuz" ] || [ ! -f "$cache/modules/order" ]; then
            kernel_fetch "$@"
        fi
    ) 9>"$cache/.lock"
    log "kernel: $(cat "$cache/ready")"
}
