# Sourced by scripts/kernel-e2e.sh and scripts/power-cut.sh: Debian's own
# kernel (the one linux-image-amd64 depends on) and the modules a guest needs,
# unpacked once into a cache folder: CACHE/vmlinuz, CACHE/modules/NAME.ko and
# CACHE/ready (the package's file name). The caller defines log, die and SUDO.
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
    local wanted=("$vmlinuz") m path
    for m in "$@"; do
        path=$(grep -E "/kernel/.*/$m\.ko(\.xz|\.zst|\.gz)?\$" <<<"$listing" | head -n 1)
        [ -n "$path" ] || die "module $m not found in $deb"
        wanted+=("$path")
    done
    mkdir -p "$dl/x"
    dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$dl/x" "${wanted[@]}"
    rm -rf "$cache/modules"
    mkdir -p "$cache/modules"
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
        if [ ! -f "$cache/ready" ] || [ ! -f "$cache/vmlinuz" ]; then
            kernel_fetch "$@"
        fi
    ) 9>"$cache/.lock"
    log "kernel: $(cat "$cache/ready")"
}
