"""Runs examples/production_line.py against four emulated controllers and
checks its reports: every controller restored, verified and tested (one JSON
report per serial number), exit 0; and a backup that does not read fails it."""

import json
import os
import subprocess
import sys

script, work = sys.argv[1], sys.argv[2]
os.makedirs(work, exist_ok=True)
backup = os.path.join(work, "station.kxb")
with open(backup, "w", encoding="utf-8") as f:
    f.write("[parameters]\nvmax = 4000\namax = 8000\nxdef = 250\n")
reports = os.path.join(work, "reports")
run = subprocess.run([sys.executable, script, backup, "--emulator", "4", "--reports", reports],
                     capture_output=True, text=True, timeout=240)
print(run.stdout, run.stderr)
assert run.returncode == 0, run.returncode
names = sorted(os.listdir(reports))
assert names == [f"EMU-{i}.json" for i in range(1, 5)], names
for name in names:
    with open(os.path.join(reports, name), encoding="utf-8") as f:
        report = json.load(f)
    assert report["passed"] and report["restore"]["verified"], report
    assert {i["name"] for i in report["restore"]["items"]} == {"vmax", "amax", "xdef"}
    test = report["test"]
    assert test["final_position"] == 0 and test["passed"], test
    assert abs(test["measured_seconds"] - test["expected_seconds"]) < 1.0, test
assert run.stdout.count(": passed: ") == 4

with open(backup, "w", encoding="utf-8") as f:
    f.write("[parameters]\nvmax = fast\n")
bad = subprocess.run([sys.executable, script, backup, "--emulator", "2", "--reports", reports],
                     capture_output=True, text=True, timeout=60)
assert bad.returncode != 0 and "ParseError" in bad.stderr, (bad.returncode, bad.stderr)
print("production_line.py: 4 controllers restored, verified and tested")
