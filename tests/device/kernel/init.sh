#!/bin/sh
# /init of the kernel test's initramfs: prepares a minimal system, loads the
# HID modules, runs the tests (or the command given to scripts/kernel-e2e.sh)
# and prints their exit status on the console before powering off.
/bin/busybox --install -s /bin
export PATH=/bin:/tests
export LD_LIBRARY_PATH=/lib/x86_64-linux-gnu:/usr/lib/x86_64-linux-gnu:/lib64
export GTEST_COLOR=no
export HOME=/tmp

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /tmp /run
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run

for m in $(cat /etc/modules-order); do
    if ! insmod "/modules/$m.ko"; then
        echo "KXRD4-E2E: cannot load module $m"
    fi
done

# Give the module's device node a moment to appear.
i=0
while [ ! -e /dev/uhid ] && [ $i -lt 50 ]; do
    sleep 0.1
    i=$((i + 1))
done

limit=$(cat /etc/e2e-timeout 2>/dev/null || echo 150)
status=0
if [ -s /etc/e2e-command ]; then
    echo "KXRD4-E2E: running command"
    timeout "$limit" /bin/sh /etc/e2e-command
    status=$?
else
    for t in /tests/*; do
        [ -x "$t" ] || continue
        echo "KXRD4-E2E: running ${t##*/}"
        timeout "$limit" "$t"
        s=$?
        echo "KXRD4-E2E: ${t##*/} exited with status $s"
        if [ $s -ne 0 ] && [ $status -eq 0 ]; then
            status=$s
        fi
    done
fi

if [ $status -eq 0 ]; then
    echo "KXRD4-E2E RESULT: PASSED"
else
    echo "KXRD4-E2E RESULT: FAILED"
fi
echo "KXRD4-E2E EXIT STATUS: $status"
sync
sleep 1
poweroff -f
