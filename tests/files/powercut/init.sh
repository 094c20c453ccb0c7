#!/bin/sh
# /init of the power-cut test's initramfs: loads the block and file-system
# modules, mounts the virtual disk (the file system named by kxrd4fs= on the
# kernel command line) and saves on it until the host cuts the power.
/bin/busybox --install -s /bin
export PATH=/bin
export LD_LIBRARY_PATH=/lib/x86_64-linux-gnu:/usr/lib/x86_64-linux-gnu:/lib64
export HOME=/tmp

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /tmp /mnt
mount -t tmpfs tmpfs /tmp

for m in $(cat /etc/modules-order); do
    insmod "/modules/$m.ko" || echo "KXRD4-POWERCUT: cannot load module $m"
done

i=0
while [ ! -b /dev/vda ] && [ $i -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
done

fs=$(sed -n 's/.*kxrd4fs=\([a-z0-9]*\).*/\1/p' /proc/cmdline)
case "$fs" in
# Without ext4's guess that a file renamed over another wants its data first,
# as on file systems that do not make it: the saves must flush by themselves.
ext4) options=noauto_da_alloc ;;
*) options=defaults ;;
esac
if mount -t "$fs" -o "$options" /dev/vda /mnt; then
    /bin/kxrd4_powercut_saver run /mnt
    echo "KXRD4-POWERCUT ERROR the saver ended with status $?"
else
    echo "KXRD4-POWERCUT ERROR cannot mount /dev/vda as $fs"
fi
poweroff -f
