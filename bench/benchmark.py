#!/usr/bin/env python3
"""Times linkweld on a ~100 MB header made from the Khronos glext.h, beside a naive fscanf scan
of the same file and `wc -l`; prints wall times, throughput, peak memory and the ratios.

    python3 bench/benchmark.py [--size-mb 100] [--runs 5]

Builds a Release linkweld and the baseline under build-bench/; nothing large is kept."""
import argparse
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KHRONOS = "/usr/include/khronos-api/GL"


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DLINKWELD_TESTS=OFF"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "linkweld"], check=True,
                   stdout=subprocess.DEVNULL)
    baseline = os.path.join(build_dir, "fscanf_baseline")
    subprocess.run(["c++", "-O2", "-o", baseline, os.path.join(ROOT, "bench", "fscanf_baseline.cpp")],
                   check=True)
    return os.path.join(build_dir, "linkweld"), baseline


def measure(command, cwd, runs):
    """Best wall time of `runs` runs, and the largest peak resident set among them (bytes)."""
    best, peak = None, 0
    for _ in range(runs):
        start = time.perf_counter()
        child = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.perf_counter() - start
        if os.waitstatus_to_exitcode(status) != 0:
            sys.exit(f"{command[0]} failed")
        best = elapsed if best is None else min(best, elapsed)
        peak = max(peak, usage.ru_maxrss * 1024)
    return best, peak


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--size-mb", type=int, default=100)
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()

    linkweld, baseline = build(os.path.join(ROOT, "build-bench"))
    with open(os.path.join(KHRONOS, "glext.h"), "rb") as f:
        glext = f.read()
    with tempfile.TemporaryDirectory(prefix="linkweld-bench-") as work:
        big = os.path.join(work, "big_glext.h")
        copies = -(-args.size_mb * 1024 * 1024 // len(glext))
        with open(big, "wb") as f:
            for _ in range(copies):
                f.write(glext)
        size = os.path.getsize(big)

        full, full_peak = measure([linkweld, "-gl", big], work, args.runs)
        naive, _ = measure([baseline, big], work, args.runs)
        lines, _ = measure(["wc", "-l", big], work, args.runs)
        khronos, _ = measure([linkweld, "-gl", os.path.join(KHRONOS, "glext.h"),
                              "-wgl", os.path.join(KHRONOS, "wglext.h")], work, args.runs)
        out = sum(os.path.getsize(os.path.join(work, n)) for n in ("glEntryHub.cpp", "glEntryHub.h"))
        measure([linkweld, "-gl", big], work, 1)
        big_out = sum(os.path.getsize(os.path.join(work, n)) for n in ("glEntryHub.cpp", "glEntryHub.h"))

    mb = size / 1e6
    print(f"input: {mb:.1f} MB ({copies} copies of glext.h); output {big_out / 1e6:.1f} MB")
    print(f"linkweld, full run:   {full * 1000:8.1f} ms  {mb / full:7.1f} MB/s  "
          f"peak RSS {full_peak / 1e6:.1f} MB ({full_peak / size:.2f} of the input)")
    print(f"fscanf baseline scan: {naive * 1000:8.1f} ms  {mb / naive:7.1f} MB/s")
    print(f"wc -l:                {lines * 1000:8.1f} ms  {mb / lines:7.1f} MB/s")
    print(f"ratios: linkweld / fscanf = {full / naive:.2f} (target <= 0.5), "
          f"linkweld / wc -l = {full / lines:.1f} (target <= 10)")
    print(f"Khronos glext.h + wglext.h, whole run: {khronos * 1000:.1f} ms ({out / 1e3:.0f} kB written)")


if __name__ == "__main__":
    main()
