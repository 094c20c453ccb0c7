"""c.get("vmax") from Python (the module kxrd4 on an emulated controller):
prints the fastest of several runs' mean in microseconds per call, as
"python_get_us VALUE" (on a shared machine the fastest run is the one least
disturbed), and the same for opening an emulated controller."""

import sys
import time

import kxrd4

calls = int(sys.argv[1]) if len(sys.argv) > 1 else 2000
runs = 5
with kxrd4.open(emulator=True, serial="BENCH-1") as c:
    for _ in range(100):  # warm up
        c.get("vmax")
    means = []
    for _ in range(runs):
        start = time.perf_counter()
        for _ in range(calls):
            c.get("vmax")
        means.append((time.perf_counter() - start) / calls)
print(f"python_get_us {min(means) * 1e6:.2f}")
opens = []
for _ in range(max(5, calls // 20)):
    start = time.perf_counter()
    kxrd4.open(emulator=True, serial="BENCH-1").close()
    opens.append(time.perf_counter() - start)
print(f"python_open_us {min(opens) * 1e6:.2f}")
