#!/bin/sh
# The library and the Python module on a real kernel (run as a test program by
# scripts/kernel-e2e.sh --library): three kxrd4-sim with different serial
# numbers; examples/production_line.py restores a backup onto all three in
# parallel and runs its test on each, kxrd4-cli restore --all does the same,
# and the module's failures that need real devices are met: several
# controllers and none named, a serial that is not there, a controller
# unplugged while open.
set -u
KX=/opt/kxrd4
PY="/usr/bin/python3"
export PYTHONPATH=$KX/python PYTHONDONTWRITEBYTECODE=1
export LD_LIBRARY_PATH="$KX/lib:${LD_LIBRARY_PATH:-}"
pids=""
# nodes N: waits up to 30 s until N hidraw nodes are there.
nodes() {
    i=0
    while [ "$(ls /dev/hidraw* 2>/dev/null | wc -l)" -lt "$1" ] && [ $i -lt 300 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    [ "$(ls /dev/hidraw* 2>/dev/null | wc -l)" -ge "$1" ]
}
fail() {
    echo "production-line: FAILED: $*"
    for p in $pids; do kill "$p" 2>/dev/null; done
    exit 1
}

for s in KX-A KX-B KX-C; do
    kxrd4-sim --serial "$s" </dev/null 2>"/tmp/sim-$s.log" &
    pids="$pids $!"
    eval "pid_$(echo "$s" | tr -d -)=$!"
done
nodes 3 || fail "the three simulators did not appear"

$PY - <<'PYEOF' || fail "the module's checks of several controllers"
import kxrd4
found = kxrd4.controllers()
assert sorted(c.serial for c in found) == ["KX-A", "KX-B", "KX-C"], found
assert all(c.path.startswith("/dev/hidraw") for c in found), found
try:
    kxrd4.open()
    raise AssertionError("opened one of several without a name")
except kxrd4.SeveralControllersError as e:
    assert "KX-B" in str(e), e
try:
    kxrd4.open(serial="KX-Z")
    raise AssertionError("opened a serial that is not there")
except kxrd4.NoControllerError:
    pass
with kxrd4.open(path=found[1].path) as c:
    assert c.serial == found[1].serial and c.get("vmax") == 1000
print("production-line: kxrd4.controllers() lists KX-A, KX-B, KX-C")
PYEOF

printf '[parameters]\nvmax = 4000\namax = 8000\nxdef = 250\n' >/tmp/station.kxb
start=$(date +%s)
$PY $KX/production_line.py /tmp/station.kxb --reports /tmp/reports ||
    fail "production_line.py exited with $?"
echo "production-line: production_line.py took $(($(date +%s) - start)) s for three controllers"
for s in KX-A KX-B KX-C; do
    grep -q '"passed": true' "/tmp/reports/$s.json" || fail "no passing report for $s: $(cat "/tmp/reports/$s.json")"
    grep -q '"verified": true' "/tmp/reports/$s.json" || fail "$s not verified"
done

out=$(kxrd4-cli restore /tmp/station.kxb --all) || fail "kxrd4-cli restore --all: $out"
[ "$(echo "$out" | grep -c '  verified  /dev/hidraw')" -eq 3 ] || fail "restore --all printed: $out"
echo "production-line: kxrd4-cli restore --all verified all three"

# A controller unplugged while open: DisconnectedError.
$PY - "$pid_KXC" <<'PYEOF' || fail "the module's check of a controller unplugged"
import glob, os, signal, sys, time
import kxrd4
with kxrd4.open(serial="KX-C", timeout=0.5) as c:
    before = len(glob.glob("/dev/hidraw*"))
    os.kill(int(sys.argv[1]), signal.SIGTERM)
    end = time.monotonic() + 20
    while len(glob.glob("/dev/hidraw*")) >= before and time.monotonic() < end:
        time.sleep(0.1)
    # The first call may still time out while the removal is on its way.
    seen = []
    for _ in range(4):
        try:
            c.get("vmax")
            seen.append("answered")
        except kxrd4.Error as e:
            seen.append(type(e).__name__)
            if isinstance(e, kxrd4.DisconnectedError):
                break
    print("production-line: calls after the unplug:", ", ".join(seen))
    assert seen[-1] == "DisconnectedError" and "answered" not in seen, seen
print("production-line: an unplugged KX-RD4 raised DisconnectedError")
PYEOF

# restore --all onto 16 controllers against one (a measurement, printed for
# the table of docs/development.md; the test does not judge it): a whole backup.
for n in 04 05 06 07 08 09 10 11 12 13 14 15 16 17; do
    kxrd4-sim --serial "KX-$n" </dev/null 2>/dev/null &
    pids="$pids $!"
done
nodes 16 || fail "the 16 simulators did not appear"
kxrd4-cli --device KX-A backup -o /tmp/full.kxb >/dev/null || fail "backup of KX-A"
ms() { awk '{ printf "%d\n", $1 * 1000 }' /proc/uptime; }
t0=$(ms)
kxrd4-cli --device KX-B restore /tmp/full.kxb >/dev/null || fail "restore onto KX-B"
t1=$(ms)
out=$(kxrd4-cli restore /tmp/full.kxb --all) || fail "restore --all onto 16: $out"
t2=$(ms)
[ "$(echo "$out" | grep -c '  verified  /dev/hidraw')" -eq 16 ] || fail "restore --all printed: $out"
one=$((t1 - t0))
all=$((t2 - t1))
echo "production-line: restore of a whole backup: one controller $one ms, restore --all onto 16 $all ms ($(awk -v a=$all -v b=$one 'BEGIN { printf "%.2f", a / b }')x), $(nproc) CPUs"

for p in $pids; do kill "$p" 2>/dev/null; done
wait 2>/dev/null
echo "production-line: PASSED"
