#!/usr/bin/env python3
"""What a call costs through the tables of several contexts (linkweld --contexts), in one run.

    python3 bench/contexts_benchmark.py [--runs 5] [--linkweld PATH]

bench/contexts_calls.cpp times, as the median of 7 rounds of 10 million calls each, one empty
function called through a plain pointer (the pair without --contexts), through a table itself,
through a usual name with a table made current on the thread, and through a usual name in the
automatic mode; and, on Windows, how long filling one more table takes. It is built twice: with
MinGW-w64 for x86-64 against the pair of the Khronos glext.h and wglext.h (--all-prototypes
--contexts) and glEntryHubChecked.cpp, run under Wine on Mesa's llvmpipe; and for the host
against the stand-in of tests/checked_init_host on a scripted context. Each figure printed is the
median over --runs processes. Needs x86_64-w64-mingw32-gcc/g++, wine, xvfb-run and the Khronos
headers (tests/run_suite.sh installs them). Builds a Release linkweld under build-bench/ unless
--linkweld names one."""
import argparse
import os
import re
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KHRONOS = "/usr/include/khronos-api"
RUNTIME = os.path.join(ROOT, "runtime")
C_ROUTE = os.path.join(ROOT, "tests", "c_route")
SOURCE = os.path.join(ROOT, "bench", "contexts_calls.cpp")
STDAFX = "#pragma once\n#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n"


def build_linkweld():
    build_dir = os.path.join(ROOT, "build-bench")
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DLINKWELD_TESTS=OFF", "-DLINKWELD_INSTALL=OFF"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "linkweld"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "linkweld")


def build_windows(linkweld, work):
    subprocess.run([linkweld, "--all-prototypes", "--contexts", "-gl", f"{KHRONOS}/GL/glext.h",
                    "-wgl", f"{KHRONOS}/GL/wglext.h"], cwd=work, check=True,
                   stderr=subprocess.DEVNULL)
    with open(os.path.join(work, "stdafx.h"), "w") as f:
        f.write(STDAFX)
    include = ["-I", work, "-I", RUNTIME, "-I", C_ROUTE, "-I", f"{KHRONOS}/GL", "-I", KHRONOS]
    objects = []
    for source, compiler in ((f"{RUNTIME}/glEntryHubChecked.cpp", "x86_64-w64-mingw32-g++"),
                             (f"{C_ROUTE}/c_frame.c", "x86_64-w64-mingw32-gcc"),
                             (SOURCE, "x86_64-w64-mingw32-g++")):
        obj = os.path.join(work, os.path.basename(source) + ".o")
        subprocess.run([compiler, "-O2", "-w"] + include + ["-c", source, "-o", obj], check=True)
        objects.append(obj)
    exe = os.path.join(work, "contexts_calls.exe")
    subprocess.run(["x86_64-w64-mingw32-g++", "-static"] + objects +
                   ["-lopengl32", "-lgdi32", "-o", exe], check=True)
    return exe


def build_host(work):
    exe = os.path.join(work, "contexts_calls")
    subprocess.run(["c++", "-O2", "-std=c++17", "-pthread", "-I", ROOT, "-I",
                    os.path.join(ROOT, "tests", "checked_init_host"), SOURCE, "-o", exe],
                   check=True)
    return exe


def figures(command, work, environment=None):
    """{way: value} of one run of the program: nanoseconds per call, or milliseconds."""
    run = subprocess.run(command, cwd=work, env=environment, capture_output=True, text=True,
                         timeout=600)
    found = {}
    for line in run.stdout.splitlines():
        match = re.match(r"^(.*?)\s+([0-9.]+) (ns|ms)\b", line)
        if match:
            found[match.group(1)] = float(match.group(2))
    if not found:
        sys.exit(f"{command[-1]}: nothing measured (status {run.returncode}): {run.stderr[-500:]}")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--linkweld", help="use this linkweld instead of building one")
    args = parser.parse_args()
    linkweld = os.path.abspath(args.linkweld) if args.linkweld else build_linkweld()
    with tempfile.TemporaryDirectory(prefix="linkweld-contexts-") as work:
        windows = build_windows(linkweld, work)
        host = build_host(work)
        wine = dict(os.environ, WINEDEBUG="-all", LIBGL_ALWAYS_SOFTWARE="1",
                    GALLIUM_DRIVER="llvmpipe", WINEPREFIX=os.path.join(work, "wine"),
                    WINEDLLOVERRIDES="mscoree=;mshtml=")
        sides = {"MinGW-w64 GCC, under Wine on llvmpipe":
                     (["xvfb-run", "-a", "-s", "-screen 0 640x480x24", "wine", windows], wine),
                 "host GCC, a scripted context": ([host], None)}
        for name, (command, environment) in sides.items():
            runs = [figures(command, work, environment) for _ in range(args.runs)]
            print(f"{name}, medians of {args.runs} runs:")
            plain = statistics.median(run["a plain pointer"] for run in runs)
            for way in runs[0]:
                value = statistics.median(run[way] for run in runs)
                if way.startswith("filling"):
                    print(f"  {way:<36} {value:8.3f} ms")
                else:
                    print(f"  {way:<36} {value:8.2f} ns  {value / plain:5.2f} of a plain pointer")


if __name__ == "__main__":
    main()
