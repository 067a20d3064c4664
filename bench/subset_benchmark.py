#!/usr/bin/env python3
"""What a loader of only the names a program uses saves, beside the whole loader, in one run.

    python3 bench/subset_benchmark.py [--runs 7] [--linkweld PATH] [--runtime-before DIR]

The program is tests/c_route/subset_program.h: 30 entry points and 3 flags. The whole loader is
linkweld --all-prototypes on the Khronos glext.h and wglext.h; the subset adds --used-by of that
program. Measured, as medians of --runs runs, the two sides' runs interleaved:
  - CPU seconds (user and system, of the compiler and its children) to compile, with MinGW-w64
    GCC for x86-64: glEntryHub.cpp at -O2, the checked unit glEntryHubChecked.cpp at -O2, and a
    one-line file that includes glEntryHub.h at -O0 (also for a subset with one WGL name more),
    beside an empty file's;
  - the initialisation's milliseconds under Wine on Mesa's llvmpipe, cold (the first in a fresh
    process), on a compatibility and on a 3.3 core-profile context: the checked initialisation of
    the whole loader against the checked and the plain one of the subset, with the lines each
    prints on standard output (bench/init_time.c, C route, linked without -static), and how many
    times each calls glGetStringi (Wine's trace of opengl32, a run apart); with --runtime-before,
    the checked ones again on the checked initialisation of that directory (an earlier runtime/);
  - linkweld's own time to write each pair.
Needs x86_64-w64-mingw32-gcc/g++, wine, xvfb-run and the Khronos headers (tests/run_suite.sh
installs them). Builds a Release linkweld under build-bench/ unless --linkweld names one."""
import argparse
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KHRONOS = "/usr/include/khronos-api"
HEADERS = ["-gl", f"{KHRONOS}/GL/glext.h", "-wgl", f"{KHRONOS}/GL/wglext.h"]
PROGRAM = os.path.join(ROOT, "tests", "c_route", "subset_program.h")
RUNTIME = os.path.join(ROOT, "runtime")
C_ROUTE = os.path.join(ROOT, "tests", "c_route")
CXX = "x86_64-w64-mingw32-g++"
CC = "x86_64-w64-mingw32-gcc"
STDAFX = "#pragma once\n#include <stdio.h>\n#include <stdlib.h>\n#include <string.h>\n"


def build_linkweld():
    build_dir = os.path.join(ROOT, "build-bench")
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DLINKWELD_TESTS=OFF", "-DLINKWELD_INSTALL=OFF"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "linkweld"], check=True,
                   stdout=subprocess.DEVNULL)
    return os.path.join(build_dir, "linkweld")


def cpu_seconds(command, cwd):
    """CPU seconds of one run of `command` and its children."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, cwd=cwd, check=True, stdout=subprocess.DEVNULL)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)


def wall_seconds(command, cwd):
    start = time.perf_counter()
    subprocess.run(command, cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def make_pair(linkweld, directory, extra):
    os.makedirs(directory)
    with open(os.path.join(directory, "stdafx.h"), "w") as f:
        f.write(STDAFX)
    with open(os.path.join(directory, "one_line.cpp"), "w") as f:
        f.write('#include "glEntryHub.h"\n')
    with open(os.path.join(directory, "empty.cpp"), "w") as f:
        f.write("\n")
    subprocess.run([linkweld, "--all-prototypes"] + HEADERS + extra, cwd=directory, check=True,
                   stderr=subprocess.DEVNULL)


def compile_commands(directory):
    include = ["-I", directory, "-I", f"{KHRONOS}/GL", "-I", KHRONOS]
    return {
        "glEntryHub.cpp at -O2": [CXX, "-O2", "-w"] + include +
                                 ["-c", "glEntryHub.cpp", "-o", os.devnull],
        "checked unit at -O2": [CXX, "-O2", "-w", "-I", RUNTIME] + include +
                               ["-c", f"{RUNTIME}/glEntryHubChecked.cpp", "-o", os.devnull],
        "one line including glEntryHub.h, -O0": [CXX, "-O0"] + include +
                                                 ["-c", "one_line.cpp", "-o", os.devnull],
        "an empty file, -O0": [CXX, "-O0"] + include + ["-c", "empty.cpp", "-o", os.devnull],
    }


def build_init_programs(directory, runtime=RUNTIME, tag=""):
    """init_time.exe on the checked and on the plain C route unit of the pair in `directory`."""
    include = ["-I", directory, "-I", runtime, "-I", C_ROUTE, "-I", f"{KHRONOS}/GL", "-I", KHRONOS]
    programs = {}
    for name, unit, define in (("checked", "glEntryHubCChecked.cpp", ["-DBENCH_CHECKED"]),
                               ("plain", "glEntryHubC.cpp", [])):
        name += tag
        objects = []
        for source, compiler, flags in ((f"{runtime}/{unit}", CXX, []),
                                        (f"{ROOT}/bench/init_time.c", CC, define),
                                        (f"{C_ROUTE}/c_frame.c", CC, [])):
            obj = os.path.join(directory, f"{name}.{os.path.basename(source)}.o")
            subprocess.run([compiler, "-O2", "-w"] + flags + include + ["-c", source, "-o", obj],
                           check=True)
            objects.append(obj)
        exe = os.path.join(directory, f"init_{name}.exe")
        subprocess.run([CXX] + objects + ["-lopengl32", "-lgdi32", "-o", exe], check=True)
        programs[name] = exe
    return programs


def wine_environment(work, debug="-all"):
    return dict(os.environ, WINEDEBUG=debug, LIBGL_ALWAYS_SOFTWARE="1", GALLIUM_DRIVER="llvmpipe",
                WINEPREFIX=os.path.join(work, "wine"), WINEDLLOVERRIDES="mscoree=;mshtml=")


def get_stringi_calls(exe, context, work):
    """How many times the initialisation calls glGetStringi: the calls Wine's opengl32 traces in
    one run (init_time.c makes none of its own; a lookup of the name is no call)."""
    run = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 640x480x24", "wine", exe] +
                         ([context] if context == "core" else []), cwd=work,
                         env=wine_environment(work, "trace+opengl"), capture_output=True,
                         text=True, timeout=300)
    return sum(1 for line in run.stderr.splitlines() if ":trace:opengl:glGetStringi " in line)


def time_init(exe, context, work):
    """The initialisation's milliseconds in one fresh process, and the lines it printed."""
    environment = wine_environment(work)
    run = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 640x480x24", "wine", exe] +
                         ([context] if context == "core" else []), cwd=work, env=environment,
                         capture_output=True, text=True, timeout=300)
    for line in run.stderr.splitlines():
        if line.startswith("init-ms "):
            lines = [l for l in run.stdout.splitlines() if l.strip()]
            return float(line.split()[1]), len(lines)
    sys.exit(f"{exe} {context}: no time measured (status {run.returncode}): {run.stderr[-500:]}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--linkweld", help="measure this linkweld instead of building one")
    parser.add_argument("--runtime-before", help="also measure the checked initialisation of "
                        "this runtime directory (an earlier tree's runtime/)")
    args = parser.parse_args()
    linkweld = os.path.abspath(args.linkweld) if args.linkweld else build_linkweld()
    with tempfile.TemporaryDirectory(prefix="linkweld-subset-") as work:
        whole = os.path.join(work, "whole")
        subset = os.path.join(work, "subset")
        make_pair(linkweld, whole, [])
        make_pair(linkweld, subset, ["--used-by", PROGRAM])
        # The same program with one WGL name more, which brings <windows.h> back.
        with_wgl = os.path.join(work, "with_wgl")
        wgl_name = os.path.join(work, "wgl_name.txt")
        with open(wgl_name, "w") as f:
            f.write("wglSwapIntervalEXT\n")
        make_pair(linkweld, with_wgl, ["--used-by", PROGRAM, "--used-by", wgl_name])

        print(f"compile, CPU seconds, medians of {args.runs} (subset / whole):")
        commands = {side: compile_commands(d) for side, d in (("whole", whole), ("subset", subset))}
        for label in commands["whole"]:
            times = {"whole": [], "subset": []}
            for _ in range(args.runs):
                for side, directory in (("whole", whole), ("subset", subset)):
                    times[side].append(cpu_seconds(commands[side][label], directory))
            w, s = statistics.median(times["whole"]), statistics.median(times["subset"])
            print(f"  {label:<40} whole {w:6.3f} s  subset {s:6.3f} s  ratio {s / w:5.3f}")
        # The subset's header against an empty file, their runs interleaved, ratios per round.
        label, empty = "one line including glEntryHub.h, -O0", "an empty file, -O0"
        ratios, includes, empties = [], [], []
        for _ in range(args.runs * 3):
            includes.append(cpu_seconds(commands["subset"][label], subset))
            empties.append(cpu_seconds(commands["subset"][empty], subset))
            ratios.append(includes[-1] / empties[-1])
        print(f"  the subset's header {statistics.median(includes):6.3f} s, an empty file "
              f"{statistics.median(empties):6.3f} s: ratio {statistics.median(ratios):5.3f} "
              f"(medians of {args.runs * 3})")
        label = "one line including glEntryHub.h, -O0"
        wgl = statistics.median(cpu_seconds(compile_commands(with_wgl)[label], with_wgl)
                                for _ in range(args.runs))
        print(f"  {label}, a subset with a WGL name: {wgl:6.2f} s")

        subprocess.run(["wineboot", "-i"], env=dict(os.environ, WINEDEBUG="-all",
                       WINEPREFIX=os.path.join(work, "wine"), WINEDLLOVERRIDES="mscoree=;mshtml="),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        programs = {"whole, checked": build_init_programs(whole)["checked"]}
        subset_programs = build_init_programs(subset)
        programs["subset, checked"] = subset_programs["checked"]
        programs["subset, plain"] = subset_programs["plain"]
        if args.runtime_before:
            before = os.path.abspath(args.runtime_before)
            programs["whole, checked, before"] = build_init_programs(whole, before, "b")["checkedb"]
            programs["subset, checked, before"] = build_init_programs(subset, before, "b")["checkedb"]
        for context in ("compat", "core"):
            print(f"initialisation on a {context} context under Wine (llvmpipe), cold, "
                  f"medians of {args.runs}:")
            times = {name: [] for name in programs}
            printed = {}
            for _ in range(args.runs):
                for name, exe in programs.items():
                    milliseconds, lines = time_init(exe, context, work)
                    times[name].append(milliseconds)
                    printed[name] = lines
            base = statistics.median(times["whole, checked"])
            for name in programs:
                median = statistics.median(times[name])
                calls = get_stringi_calls(programs[name], context, work)
                print(f"  {name:<24} {median:9.3f} ms  ratio {median / base:6.4f}  "
                      f"{printed[name]} lines on standard output, {calls} glGetStringi calls")

        print(f"generation, wall time, medians of {args.runs * 3}:")
        times = {"whole": [], "subset": []}
        for _ in range(args.runs * 3):
            times["whole"].append(wall_seconds([linkweld, "--all-prototypes"] + HEADERS, whole))
            times["subset"].append(wall_seconds([linkweld, "--all-prototypes"] + HEADERS +
                                                ["--used-by", PROGRAM], subset))
        w, s = statistics.median(times["whole"]), statistics.median(times["subset"])
        print(f"  whole {w * 1000:7.2f} ms  subset {s * 1000:7.2f} ms  ratio {s / w:5.3f}")


if __name__ == "__main__":
    main()
