#!/usr/bin/python3
"""Timings of the Python module (scripts/bench.sh python runs it on the benchmark build):
   import lumivard; Design() and its report; a sweep of 1000 values of dE over 100 crystals.
Medians, wall clock (and process time for the sweep, which runs on every core)."""

import os
import statistics
import subprocess
import sys
import time

import lumivard


def median_ms(call, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return statistics.median(times) * 1e3


def fresh(code):
    """Seconds printed by a new interpreter running code (its own imports included)."""
    out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True,
                         env=dict(os.environ, PYTHONDONTWRITEBYTECODE="1")).stdout
    return float(out)


def main():
    clock = "import time; t = time.perf_counter(); "
    imports = [fresh(clock + "import lumivard; print(time.perf_counter() - t)") for _ in range(11)]
    first = [fresh("import lumivard, time; t = time.perf_counter(); "
                   "d = lumivard.Design(); d.report(); d.crystals; print(time.perf_counter() - t)")
             for _ in range(11)]
    print(f"import lumivard:                          {statistics.median(imports) * 1e3:7.1f} ms")
    print(f"first Design(), report() and crystals:    {statistics.median(first) * 1e3:7.1f} ms"
          " (imports NumPy)")

    lumivard.Design().report()
    print(f"Design() + report():                      "
          f"{median_ms(lambda: lumivard.Design().report(), 501):7.3f} ms")

    design = lumivard.Design()
    design.set("Num", 100)
    values = lumivard.sweep_values(-0.1, -100, -0.1)
    walls, cpus = [], []
    for _ in range(5):
        wall, cpu = time.perf_counter(), time.process_time()
        table = lumivard.sweep(design, "DE", values)
        walls.append(time.perf_counter() - wall)
        cpus.append(time.process_time() - cpu)
    assert len(table["value"]) == 1000
    print(f"sweep of 1000 values of DE, 100 crystals: {statistics.median(walls):7.3f} s wall, "
          f"{statistics.median(cpus):.3f} s of processor time on {os.cpu_count()} cores")


if __name__ == "__main__":
    main()
