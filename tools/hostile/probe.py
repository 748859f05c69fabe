#!/usr/bin/python3
"""Watches the running program while hostile cams serve it: its memory (VmRSS), how soon its
window answers (a question over AT-SPI is answered on the window's thread) and how often the
small cam beside them was fetched.

Usage: probe.py <program pid> <seconds> <count address> <small cam's interval>
Prints one line of figures and exits 1 when a bound is passed (400 MiB, 250 ms, a small cam
slower than twice its interval on average).
"""
import statistics
import sys
import time
import urllib.request

import pyatspi

pid, seconds, count_address, interval = int(sys.argv[1]), float(sys.argv[2]), sys.argv[3], \
    float(sys.argv[4])


def rss_mib():
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def small_count():
    with urllib.request.urlopen(count_address, timeout=5) as answer:
        return int(answer.read())


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        app = desktop.getChildAtIndex(index)
        if app is not None and app.name == "Tarvique Webcams":
            return app
    return None


deadline = time.time() + 20
app = None
while app is None and time.time() < deadline:
    app = application()
    time.sleep(0.5)
if app is None:
    print("the program never showed up on the accessibility bus")
    sys.exit(2)

time.sleep(10)  # the cams start
first = small_count()
start = time.time()
peak, answers = 0.0, []
while time.time() - start < seconds:
    peak = max(peak, rss_mib())
    asked = time.monotonic()
    window = app.getChildAtIndex(0)
    _ = window.name if window is not None else None
    answers.append((time.monotonic() - asked) * 1000)
    time.sleep(0.25)
fetched = small_count() - first
elapsed = time.time() - start
cadence = elapsed / max(fetched, 1)
answers.sort()
p99 = answers[int(len(answers) * 0.99) - 1] if answers else 0
print(f"peak {peak:.0f} MiB; window answered in {statistics.median(answers):.0f} ms median, "
      f"{p99:.0f} ms p99, {answers[-1]:.0f} ms at worst; small cam every {cadence:.1f} s "
      f"(its interval {interval:.0f} s)")
sys.exit(0 if peak < 400 and answers[-1] < 250 and cadence < 2 * interval else 1)
