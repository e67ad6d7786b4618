#!/usr/bin/env python3
"""Runs a conversion command and measures it: seconds, files a second, the
rate in each quarter of the run (from the times of its progress lines), and
the offices' peak resident memory (every soffice.bin, sampled five times a
second).

usage: measure_run.py FILES -- COMMAND...
Prints one line: key=value pairs.
"""
import os
import subprocess
import sys
import threading
import time


def office_memory_mb():
    """Resident memory of every office now: (sum, largest), in MB."""
    sizes = []
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/comm" % pid) as comm:
                if comm.read().strip() != "soffice.bin":
                    continue
            with open("/proc/%s/status" % pid) as status:
                for line in status:
                    if line.startswith("VmRSS:"):
                        sizes.append(int(line.split()[1]) / 1024)
        except OSError:
            pass
    return sum(sizes), max(sizes, default=0)


def main():
    files = int(sys.argv[1])
    command = sys.argv[sys.argv.index("--") + 1:]
    peak = [0.0, 0.0]
    done = threading.Event()

    def sample():
        while not done.is_set():
            total, largest = office_memory_mb()
            peak[0], peak[1] = max(peak[0], total), max(peak[1], largest)
            time.sleep(0.2)

    sampler = threading.Thread(target=sample)
    sampler.start()
    start = time.time()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    stamps = [time.time() - start for line in process.stdout if line.startswith(b"[")]
    process.wait()
    seconds = time.time() - start
    done.set()
    sampler.join()
    quarters = []
    if len(stamps) >= 8:
        step = len(stamps) // 4
        for q in range(4):
            first, last = q * step, min((q + 1) * step, len(stamps) - 1)
            quarters.append("%.1f" % ((last - first) / max(stamps[last] - stamps[first], 1e-6)))
    print("seconds=%.2f rate=%.1f first_row=%.2f quarters=%s office_peak_mb=%.0f largest_office_mb=%.0f" % (
        seconds, files / seconds, stamps[0] if stamps else -1, "/".join(quarters) or "-", peak[0], peak[1]))


if __name__ == "__main__":
    main()
