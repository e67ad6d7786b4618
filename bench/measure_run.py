#!/usr/bin/env python3
"""Runs a conversion command and measures it: seconds, files a second, the
rate in each quarter of the run (from the times of its progress lines), the
offices' peak resident memory (every soffice.bin, sampled five times a
second), and the processor time (user + system) that each kind of process
of the run took a file: the offices with their launchers, our office
workers (quillmere-batch --worker), the command itself, and the rest. A
process's last reading before it ends counts as its time.

usage: measure_run.py FILES -- COMMAND...
Prints one line: key=value pairs.
"""
import os
import subprocess
import sys
import threading
import time


TICK = os.sysconf("SC_CLK_TCK")
PAGE_MB = os.sysconf("SC_PAGE_SIZE") / 1024 / 1024


def processes():
    """Every process now: pid -> (parent, name, arguments, ms of processor time, resident MB)."""
    seen = {}
    for pid in os.listdir("/proc"):
        if not pid.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % pid) as stat:
                name, fields = stat.read().rsplit(")", 1)
            with open("/proc/%s/cmdline" % pid, "rb") as cmdline:
                arguments = cmdline.read().split(b"\0")
        except OSError:
            continue
        fields = fields.split()
        seen[int(pid)] = (int(fields[1]), name.split("(", 1)[1], arguments,
                          (int(fields[11]) + int(fields[12])) * 1000.0 / TICK, int(fields[21]) * PAGE_MB)
    return seen


def kind(name, arguments, root, pid):
    if b"--worker" in arguments:
        return "worker"
    if name in ("soffice.bin", "oosplash", "soffice", "javaldx") or any(a.endswith(b"/soffice") for a in arguments):
        return "office"
    return "command" if pid == root else "other"


def main():
    files = int(sys.argv[1])
    command = sys.argv[sys.argv.index("--") + 1:]
    peak = [0.0, 0.0]
    times, kinds = {}, {}
    done = threading.Event()
    start = time.time()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def sample():
        ours = {process.pid}
        while not done.is_set():
            offices = []
            for pid, (parent, name, arguments, ms, mb) in sorted(processes().items()):
                if pid in ours or parent in ours:
                    ours.add(pid)
                    # A launcher that becomes the office stays counted as the office; a
                    # process that has ended (no arguments left) keeps its kind.
                    now = kind(name, arguments, process.pid, pid)
                    if kinds.get(pid) != "office" and (now != "other" or pid not in kinds):
                        kinds[pid] = now
                    times[pid] = max(times.get(pid, 0.0), ms)
                if name == "soffice.bin":
                    offices.append(mb)
            peak[0], peak[1] = max(peak[0], sum(offices)), max([peak[1]] + offices)
            time.sleep(0.2)

    sampler = threading.Thread(target=sample)
    sampler.start()
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
    cpu = {k: 0.0 for k in ("office", "worker", "command", "other")}
    for pid, ms in times.items():
        cpu[kinds[pid]] += ms
    print("seconds=%.2f rate=%.1f first_row=%.2f quarters=%s office_peak_mb=%.0f largest_office_mb=%.0f " % (
        seconds, files / seconds, stamps[0] if stamps else -1, "/".join(quarters) or "-", peak[0], peak[1]) +
        " ".join("cpu_%s_ms=%.1f" % (k, v / files) for k, v in cpu.items()))


if __name__ == "__main__":
    main()
