#!/usr/bin/env python3
"""What the debugging build (linkweld --debug, LINKWELD_DEBUG defined) costs, in one run.

    python3 bench/debug_benchmark.py [--runs 5] [--linkweld PATH]

Measured, as medians of --runs runs:
  - CPU seconds (user and system, of the compiler and its children) to compile the loader's unit,
    glEntryHub.cpp, with MinGW-w64 GCC for x86-64 at -O2 and -O0, plain and with -DLINKWELD_DEBUG
    (the wrapper of every entry point): for the pair of the Khronos glext.h and wglext.h
    (--all-prototypes --debug), and for the subset of tests/c_route/subset_program.h (30 entry
    points, --used-by), the two builds' runs interleaved;
  - what a call costs (bench/debug_calls.cpp, the median of 7 rounds of 10 million calls each): a
    plain pointer call of an empty function, the same usual name through its wrapper with both
    hooks null, and with the first after hook, LinkweldReportGLErrors. Built with MinGW-w64 against
    the subset's --debug pair and run under Wine on Mesa's llvmpipe, a context current, where
    the hook asks the driver for its errors after each call; and for the host against the
    stand-in of tests/checked_init_host, on a scripted context whose glGetError answers at once
    (POSIX threads' keys stand in for Windows' thread-local slots there).
Needs x86_64-w64-mingw32-gcc/g++, wine, xvfb-run and the Khronos headers (tests/run_suite.sh
installs them). Builds a Release linkweld under build-bench/ unless --linkweld names one."""
import argparse
import os
import re
import resource
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KHRONOS = "/usr/include/khronos-api"
HEADERS = ["-gl", f"{KHRONOS}/GL/glext.h", "-wgl", f"{KHRONOS}/GL/wglext.h"]
PROGRAM = os.path.join(ROOT, "tests", "c_route", "subset_program.h")
RUNTIME = os.path.join(ROOT, "runtime")
C_ROUTE = os.path.join(ROOT, "tests", "c_route")
SOURCE = os.path.join(ROOT, "bench", "debug_calls.cpp")
CXX = "x86_64-w64-mingw32-g++"
# As linkweld_add_loader(... WRITE_STDAFX) writes it: <windows.h> for the whole pair alone, since a
# subset's header includes what it needs itself.
STDAFX = "#pragma once\n{}#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n"


def build_linkweld():
    build_dir = os.path.join(ROOT, "build-bench")
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DLINKWELD_TESTS=OFF", "-DLINKWELD_INSTALL=OFF"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "linkweld"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "linkweld")


def make_pair(linkweld, directory, extra, windows):
    os.makedirs(directory)
    with open(os.path.join(directory, "stdafx.h"), "w") as f:
        f.write(STDAFX.format("#include <windows.h>\n" if windows else ""))
    subprocess.run([linkweld, "--all-prototypes", "--debug"] + HEADERS + extra, cwd=directory,
                   check=True, stderr=subprocess.DEVNULL)


def unit_command(directory, flags, output=os.devnull):
    """The loader's unit of the pair in `directory`, compiled with `flags`."""
    include = ["-I", directory, "-I", RUNTIME, "-I", f"{KHRONOS}/GL", "-I", KHRONOS]
    return [CXX, "-w"] + flags + include + ["-c", os.path.join(directory, "glEntryHub.cpp"),
                                            "-o", output]


def cpu_seconds(command):
    """CPU seconds of one run of `command` and its children."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def compile_costs(pairs, runs):
    print(f"compile of glEntryHub.cpp (MinGW-w64 GCC), CPU seconds, medians of {runs}:")
    for name, directory in pairs.items():
        for level in ("-O2", "-O0"):
            times = {"plain": [], "debug": []}
            for _ in range(runs):
                for build, define in (("plain", []), ("debug", ["-DLINKWELD_DEBUG"])):
                    times[build].append(cpu_seconds(unit_command(directory, [level] + define)))
            plain, debug = statistics.median(times["plain"]), statistics.median(times["debug"])
            print(f"  {name + ', ' + level:<20} plain {plain:6.2f} s  LINKWELD_DEBUG {debug:6.2f} s"
                  f"  ratio {debug / plain:6.2f}")


def build_windows(subset, work):
    objects = [os.path.join(work, "glEntryHub.o")]
    subprocess.run(unit_command(subset, ["-O2", "-DLINKWELD_DEBUG"], objects[0]), check=True)
    include = ["-I", subset, "-I", RUNTIME, "-I", C_ROUTE, "-I", f"{KHRONOS}/GL", "-I", KHRONOS]
    for source, compiler in ((f"{C_ROUTE}/c_frame.c", "x86_64-w64-mingw32-gcc"), (SOURCE, CXX)):
        obj = os.path.join(work, os.path.basename(source) + ".o")
        subprocess.run([compiler, "-O2", "-w", "-DLINKWELD_DEBUG"] + include +
                       ["-c", source, "-o", obj], check=True)
        objects.append(obj)
    exe = os.path.join(work, "debug_calls.exe")
    subprocess.run([CXX, "-static"] + objects + ["-lopengl32", "-lgdi32", "-o", exe], check=True)
    return exe


def build_host(work):
    """The host's program: the file as the loader's unit, then as the program, linked."""
    command = ["c++", "-O2", "-std=c++17", "-I", ROOT, "-I",
               os.path.join(ROOT, "tests", "checked_init_host"), "-c", SOURCE, "-o"]
    loader, program = os.path.join(work, "host_loader.o"), os.path.join(work, "host_calls.o")
    subprocess.run(command + [loader, "-DBENCH_LOADER"], check=True)
    subprocess.run(command + [program], check=True)
    exe = os.path.join(work, "debug_calls")
    subprocess.run(["c++", loader, program, "-o", exe], check=True)
    return exe


def figures(command, work, environment=None):
    """{way: nanoseconds per call} of one run of the program."""
    run = subprocess.run(command, cwd=work, env=environment, capture_output=True, text=True,
                         timeout=600)
    found = {}
    for line in run.stdout.splitlines():
        match = re.match(r"^(.*?)\s+([0-9.]+) ns\b", line)
        if match:
            found[match.group(1)] = float(match.group(2))
    # What a wrapper reports on standard error, a GL error or a pointer left null, spoils a figure.
    if not found or run.returncode != 0 or re.search("GL error|gave it no address", run.stderr):
        sys.exit(f"{command[-1]}: status {run.returncode}, {len(found)} figures: "
                 f"{run.stderr[-500:]}")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--linkweld", help="use this linkweld instead of building one")
    args = parser.parse_args()
    linkweld = os.path.abspath(args.linkweld) if args.linkweld else build_linkweld()
    with tempfile.TemporaryDirectory(prefix="linkweld-debug-") as work:
        pairs = {"whole pair": os.path.join(work, "whole"),
                 "30-name subset": os.path.join(work, "subset")}
        make_pair(linkweld, pairs["whole pair"], [], windows=True)
        make_pair(linkweld, pairs["30-name subset"], ["--used-by", PROGRAM], windows=False)
        compile_costs(pairs, args.runs)

        windows = build_windows(pairs["30-name subset"], work)
        host = build_host(work)
        wine = dict(os.environ, WINEDEBUG="-all", LIBGL_ALWAYS_SOFTWARE="1",
                    GALLIUM_DRIVER="llvmpipe", WINEPREFIX=os.path.join(work, "wine"),
                    WINEDLLOVERRIDES="mscoree=;mshtml=")
        sides = {"MinGW-w64 GCC, under Wine on llvmpipe":
                     (["xvfb-run", "-a", "-s", "-screen 0 640x480x24", "wine", windows], wine),
                 "host GCC, a scripted context, POSIX slots": ([host], None)}
        for name, (command, environment) in sides.items():
            runs = [figures(command, work, environment) for _ in range(args.runs)]
            print(f"a call, {name}, medians of {args.runs} runs:")
            plain = statistics.median(run["a plain pointer"] for run in runs)
            for way in runs[0]:
                value = statistics.median(run[way] for run in runs)
                print(f"  {way:<40} {value:8.2f} ns  {value / plain:6.2f} of a plain pointer")


if __name__ == "__main__":
    main()
