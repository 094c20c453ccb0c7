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
i=0
while [ "$(ls /dev/hidraw* 2>/dev/null | wc -l)" -lt 3 ] && [ $i -lt 200 ]; do
    sleep 0.1
    i=$((i + 1))
done
[ "$(ls /dev/hidraw* 2>/dev/null | wc -l)" -ge 3 ] || fail "the three simulators did not appear"

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
import os, signal, sys, time
import kxrd4
with kxrd4.open(serial="KX-C", timeout=0.5) as c:
    os.kill(int(sys.argv[1]), signal.SIGTERM)
    time.sleep(1.0)
    try:
        c.get("vmax")
        raise AssertionError("a controller unplugged still answered")
    except kxrd4.DisconnectedError:
        pass
print("production-line: an unplugged KX-RD4 raised DisconnectedError")
PYEOF

for p in $pids; do kill "$p" 2>/dev/null; done
wait 2>/dev/null
echo "production-line: PASSED"
