#!/usr/bin/env python3
"""Sets up every KX-RD4 of a production line alike, in parallel, with the
Python module kxrd4: on each controller (one thread and one handle each) the
backup BACKUP.kxb is restored and verified, a test program is checked, sent,
run and watched, and a JSON report is written per serial number.

    production_line.py station.kxb --reports out/          # every KX-RD4 plugged
    production_line.py station.kxb --emulator 3 --reports out/   # three emulated ones

Exit status 0 when every controller was restored, verified and passed its
test; 1 otherwise (each report says why); 3 when no KX-RD4 is plugged.
"""

import argparse
import json
import os
import sys
import threading
import time

import kxrd4

# The test: ENABLE on, out to 2000 steps and back to 0, then END. (P9 of the
# controller is overwritten.)
TEST_PROGRAM = 9
TEST_LISTING = """
[00]  M_EN
[01]  X_DST  +0002000
[02]  X_DST  +0000000
[03]  END
"""


def run_test(c: kxrd4.Controller, program: kxrd4.Program, expected: float) -> dict:
    """Sends and runs the test program; it passes when the axis went out and came
    back to rest at 0 in about the dry run's cycle time."""
    findings = c.send_program(TEST_PROGRAM, program)
    start = time.monotonic()
    c.run(TEST_PROGRAM)
    moved = False
    limit = start + 3 * expected + 5
    status = c.status()
    while time.monotonic() < limit:
        status = c.status()
        moved = moved or status.position != 0
        if moved and status.at_rest and status.position == 0:
            break
        time.sleep(0.025)
    measured = time.monotonic() - start
    passed = moved and status.at_rest and status.position == 0
    return {"program": TEST_PROGRAM, "warnings": [f.text for f in findings],
            "expected_seconds": expected, "measured_seconds": round(measured, 3),
            "final_position": status.position, "passed": passed}


def station(open_it, backup: kxrd4.Backup, program: kxrd4.Program, expected: float,
            reports: str, results: dict, key: str) -> None:
    report: dict = {"passed": False}
    try:
        with open_it() as c:
            report.update(serial=c.serial, port=c.port, path=c.path)
            try:
                restored = c.restore(backup)
            except kxrd4.NotVerifiedError as e:
                restored = e.report
            report["restore"] = {
                "verified": restored.verified,
                "items": [vars(item) for item in restored.items],
            }
            if restored.verified:
                report["test"] = run_test(c, program, expected)
                report["passed"] = report["test"]["passed"]
    except kxrd4.Error as e:
        report["error"] = f"{type(e).__name__}: {e}"
    name = report.get("serial") or key
    with open(os.path.join(reports, f"{name}.json"), "w", encoding="utf-8") as f:
        json.dump(report, f, indent=2)
        f.write("\n")
    results[name] = report


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("backup", help="the .kxb file every controller gets")
    parser.add_argument("--reports", default=".", help="folder for the JSON reports")
    parser.add_argument("--emulator", type=int, metavar="N", default=0,
                        help="N emulated controllers (EMU-1..EMU-N) instead of the plugged ones")
    args = parser.parse_args()

    backup = kxrd4.Backup.from_file(args.backup)
    program = kxrd4.Program.from_listing(TEST_LISTING)
    findings = kxrd4.check(program, TEST_PROGRAM)
    if any(f.error for f in findings):
        print(f"the test program has errors: {findings}", file=sys.stderr)
        return 1
    # The controllers run it with the backup's parameters: so does the dry run.
    expected = kxrd4.simulate(program, TEST_PROGRAM, parameters=backup).cycle_time
    os.makedirs(args.reports, exist_ok=True)

    if args.emulator:
        serials = [f"EMU-{i}" for i in range(1, args.emulator + 1)]
        openers = {s: (lambda s=s: kxrd4.open(emulator=True, serial=s)) for s in serials}
    else:
        found = kxrd4.controllers()
        if not found:
            print("no KX-RD4 is plugged", file=sys.stderr)
            return 3
        openers = {}
        for i, info in enumerate(found):
            if info.serial:
                openers[info.serial] = lambda s=info.serial: kxrd4.open(serial=s)
            else:
                openers[f"path-{i}"] = lambda p=info.path: kxrd4.open(path=p)

    results: dict = {}
    threads = [threading.Thread(target=station,
                                args=(opener, backup, program, expected, args.reports,
                                      results, key))
               for key, opener in openers.items()]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for name in sorted(results):
        r = results[name]
        detail = r.get("error") or (
            f"restore {'verified' if r['restore']['verified'] else 'NOT verified'}"
            + (f", test {'passed' if r['test']['passed'] else 'FAILED'} in "
               f"{r['test']['measured_seconds']} s (dry run {expected} s)" if "test" in r else ""))
        print(f"{name}: {'passed' if r['passed'] else 'FAILED'}: {detail}")
    return 0 if results and all(r["passed"] for r in results.values()) else 1


if __name__ == "__main__":
    sys.exit(main())
