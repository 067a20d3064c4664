#!/usr/bin/env python3
"""Times linkweld beside baselines measured in the same run, and measures its memory.

    python3 bench/benchmark.py [--runs 7] [--linkweld PATH] [--compare OTHER...]

Inputs, made in a temporary directory: a ~100 MB header of copies of the Khronos glext.h; the
real glext.h with wglext.h; a header holding one 64 MB line that matches no form; a define whose
name is 64 MB; /dev/zero, a header that never ends a line; and 1, 10 and 100 MB headers for the
growth table. Baselines: a naive fscanf scan (bench/fscanf_baseline.cpp); the floor of a safe
run (bench/safe_run_floor.cpp: read the headers, write as many bytes as linkweld writes to two
temporaries, fsync both, rename both, fsync the directory); `wc -l` and `cat` of the same files.
linkweld is timed without and with --all-prototypes, each run replacing a previous pair (which
it would otherwise leave as it is when the bytes are the same), its runs interleaved with the
floor's for the same output. The scan alone
(bench/scan_speed.cpp, this tree's scanner fed the 100 MB header from memory) is measured beside
memchr over the same buffer. Every time is the median of --runs runs. Builds a Release linkweld
and the baselines under build-bench/; --linkweld times another linkweld instead (one that knows no
--all-prototypes is timed without it only). --compare times other linkweld builds beside it on
the Khronos pair (replacing the pair, and writing it again unchanged) and on the 100 MB header,
runs interleaved so that the machine's drift touches all alike, and prints only that."""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KHRONOS = "/usr/include/khronos-api/GL"
MB = 1024 * 1024


def build(build_dir):
    subprocess.run(["cmake", "-S", ROOT, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release",
                    "-DLINKWELD_TESTS=OFF", "-DLINKWELD_INSTALL=OFF"], check=True,
                   stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", build_dir, "--target", "linkweld"], check=True,
                   stdout=subprocess.DEVNULL)
    programs = {}
    # Compiled as the Release linkweld is (CMakeLists.txt), with the same hardening, and linked
    # with linkweld's own link options as the build wrote them: a floor that loaded libstdc++ at
    # start, or kept parts of it linkweld drops, would pay what linkweld does not.
    with open(os.path.join(build_dir, "linkweld-link-options.txt")) as options:
        link = options.read().split()
    lean = ["-O3", "-DNDEBUG", "-fstack-protector-strong", "-U_FORTIFY_SOURCE",
            "-D_FORTIFY_SOURCE=2"] + link
    for name in ("fscanf_baseline", "safe_run_floor"):
        programs[name] = os.path.join(build_dir, name)
        subprocess.run(["c++"] + lean + ["-o", programs[name],
                        os.path.join(ROOT, "bench", name + ".cpp")], check=True)
    # The scanner's own sources, compiled as the Release build compiles them.
    scanner = [os.path.join(ROOT, room, f) for room in ("scan", "tables")
               for f in sorted(os.listdir(os.path.join(ROOT, room))) if f.endswith(".cpp")]
    scanner.append(os.path.join(ROOT, "platform", "platform_posix.cpp"))
    programs["scan_speed"] = os.path.join(build_dir, "scan_speed")
    subprocess.run(["c++", "-O3", "-DNDEBUG", "-std=c++17", "-pthread", "-I", ROOT, "-o",
                    programs["scan_speed"], os.path.join(ROOT, "bench", "scan_speed.cpp")] + scanner,
                   check=True)
    return os.path.join(build_dir, "linkweld"), programs


def stale_pair(cwd):
    """Makes the pair in `cwd` differ from what any run writes, so that the next run replaces
    both files (linkweld leaves a file that would not change as it is)."""
    for name in ("glEntryHub.cpp", "glEntryHub.h"):
        if os.path.exists(os.path.join(cwd, name)):
            with open(os.path.join(cwd, name), "w") as f:
                f.write("stale\n")


def run_once(command, cwd, replace=True):
    """Wall time of one run; with `replace`, one that replaces a previous pair."""
    if replace:
        stale_pair(cwd)
    start = time.perf_counter()
    status = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL).returncode
    elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{' '.join(command)} failed")
    return elapsed


def peak_memory(command, cwd, seconds=None):
    """Peak resident set (bytes) of one run, stopped after `seconds` if given. GNU time runs it:
    a child of this Python process would inherit Python's own peak, which Linux keeps across exec."""
    with tempfile.NamedTemporaryFile("r") as report:
        child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", report.name] + command,
                                 cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if seconds is not None:
            time.sleep(seconds)
            subprocess.run(["pkill", "-KILL", "-P", str(child.pid)])
        child.wait()
        return int(report.read().split()[-1]) * 1024


def measure(command, cwd, runs):
    """Median wall time of `runs` runs, and the peak resident set of one more."""
    times = [run_once(command, cwd) for _ in range(runs)]
    return statistics.median(times), peak_memory(command, cwd)


def output_sizes(work):
    """The sizes of the pair the last linkweld run in `work` wrote."""
    return [os.path.getsize(os.path.join(work, n)) for n in ("glEntryHub.cpp", "glEntryHub.h")]


def knows_all_prototypes(linkweld, work):
    """Whether `linkweld` takes --all-prototypes (older builds take it for an ignored argument)."""
    run = subprocess.run([linkweld, "--all-prototypes", "-gl", os.devnull], cwd=work,
                         stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    return "ignoring argument" not in run.stderr


def time_variants(linkweld, headers, options, floor, work, runs):
    """Median time of linkweld without and with each option, and of the floor for its output,
    their runs interleaved so that the machine's drift touches both alike."""
    results = []
    for option in options:
        command = [linkweld] + option + headers
        run_once(command, work)
        sizes = output_sizes(work)
        floor_args = [floor] + [str(n) for n in sizes] + [h for h in headers if h not in ("-gl", "-wgl")]
        times, floor_times = [], []
        for _ in range(runs):
            times.append(run_once(command, work))
            floor_times.append(run_once(floor_args, work))
        results.append((" ".join(option) or "default", statistics.median(times),
                        peak_memory(command, work), statistics.median(floor_times), sum(sizes)))
    return results


def compare(programs, cases):
    """Median whole-run time of each program on each case, their runs interleaved. A case whose
    label says "unchanged" runs over the pair the run before wrote, which each run then writes
    again byte for byte; the others replace a previous pair."""
    with tempfile.TemporaryDirectory(prefix="linkweld-bench-") as work:
        for label, arguments, case_runs in cases:
            times = {p: [] for p in programs}
            replace = "unchanged" not in label
            for _ in range(case_runs):
                for program in programs:
                    if not replace:
                        run_once([program] + arguments, work, replace=False)
                    times[program].append(run_once([program] + arguments, work, replace))
            print(f"{label}, whole runs interleaved, medians of {case_runs}:")
            base = statistics.median(times[programs[0]])
            for program in programs:
                median = statistics.median(times[program])
                print(f"  {median * 1000:7.2f} ms  {median / base:5.2f}  {program}")


def write_copies(path, text, size):
    copies = -(-size // len(text))
    with open(path, "wb") as f:
        for _ in range(copies):
            f.write(text)
    return copies


def write_line(path, head, byte, count, tail):
    """A header holding `head`, `count` copies of `byte` and `tail`, written in pieces."""
    with open(path, "wb") as f:
        f.write(head)
        for _ in range(count // MB):
            f.write(byte * MB)
        f.write(tail)


def row(name, seconds, size, peak=None):
    rate = f"{size / MB / seconds:8.1f} MB/s" if size else " " * 13
    memory = f"  peak RSS {peak / MB:7.1f} MiB" if peak is not None else ""
    return f"  {name:<24}{seconds * 1000:9.1f} ms {rate}{memory}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--linkweld", help="time this linkweld instead of building one")
    parser.add_argument("--compare", nargs="+", metavar="OTHER",
                        help="time these linkweld builds beside it, interleaved")
    args = parser.parse_args()

    built, programs = build(os.path.join(ROOT, "build-bench"))
    linkweld = os.path.abspath(args.linkweld) if args.linkweld else built
    baseline, floor = programs["fscanf_baseline"], programs["safe_run_floor"]
    with open(os.path.join(KHRONOS, "glext.h"), "rb") as f:
        glext = f.read()
    khronos = [os.path.join(KHRONOS, "glext.h"), os.path.join(KHRONOS, "wglext.h")]
    runs = args.runs

    if args.compare:
        with tempfile.TemporaryDirectory(prefix="linkweld-bench-") as inputs:
            big = os.path.join(inputs, "big_glext.h")
            write_copies(big, glext, 100 * MB)
            compare([linkweld] + [os.path.abspath(p) for p in args.compare],
                    [("Khronos glext.h + wglext.h", ["-gl", khronos[0], "-wgl", khronos[1]],
                      runs * 9),
                     ("Khronos glext.h + wglext.h, output unchanged",
                      ["-gl", khronos[0], "-wgl", khronos[1]], runs * 9),
                     ("100 MB header", ["-gl", big], runs)])
        return

    with tempfile.TemporaryDirectory(prefix="linkweld-bench-") as work:
        options = [[]]
        if knows_all_prototypes(linkweld, work):
            options.append(["--all-prototypes"])
        big = os.path.join(work, "big_glext.h")
        copies = write_copies(big, glext, 100 * MB)
        size = os.path.getsize(big)
        variants = time_variants(linkweld, ["-gl", big], options, floor, work, runs)
        naive, _ = measure([baseline, big], work, runs)
        lines, _ = measure(["wc", "-l", big], work, runs)
        cat_big, _ = measure(["cat", big], work, runs)
        print(f"100 MB header ({copies} copies of glext.h, {size / MB:.1f} MiB), "
              f"medians of {runs} runs:")
        for name, seconds, peak, floor_seconds, out in variants:
            print(row(f"linkweld, {name}", seconds, size, peak) + f"  output {out / MB:.1f} MiB")
            print(row("  safe-run floor", floor_seconds, size))
        print(row("fscanf baseline scan", naive, size))
        print(row("wc -l", lines, size))
        print(row("cat > /dev/null", cat_big, size))
        for name, seconds, peak, floor_seconds, _ in variants:
            print(f"  {name}: linkweld / floor = {seconds / floor_seconds:.2f} (target <= 2), "
                  f"linkweld / fscanf = {seconds / naive:.2f} (target <= 0.3), "
                  f"linkweld / wc -l = {seconds / lines:.1f}, peak RSS / input = {peak / size:.2f}")
        sys.stdout.flush()
        subprocess.run([programs["scan_speed"], big, str(runs)], check=True)

        khronos_size = sum(os.path.getsize(p) for p in khronos)
        real_runs = runs * 5
        variants = time_variants(linkweld, ["-gl", khronos[0], "-wgl", khronos[1]], options,
                                 floor, work, real_runs)
        cat_real, _ = measure(["cat"] + khronos, work, real_runs)
        print(f"Khronos glext.h + wglext.h ({khronos_size / 1e3:.0f} kB), medians of {real_runs} runs:")
        for name, seconds, peak, floor_seconds, out in variants:
            print(row(f"linkweld, {name}", seconds, khronos_size, peak) + f"  output {out / 1e3:.0f} kB")
            print(row("  safe-run floor", floor_seconds, khronos_size))
        print(row("cat > /dev/null", cat_real, khronos_size))
        for name, seconds, _, floor_seconds, _ in variants:
            print(f"  {name}: linkweld / floor = {seconds / floor_seconds:.2f} (target <= 1.3), "
                  f"linkweld / cat = {seconds / cat_real:.2f}")

        line = os.path.join(work, "one_line.h")
        write_line(line, b"// ", b"x", 64 * MB, b"\n#define GL_AFTER 1\n")
        name = os.path.join(work, "long_name.h")
        write_line(name, b"#define GL_", b"n", 64 * MB, b" 1\n")
        line_peak = peak_memory([linkweld, "-gl", line], work)
        name_peak = peak_memory([linkweld, "-gl", name], work)
        zero_short = peak_memory([linkweld, "-gl", "/dev/zero"], work, seconds=2)
        zero_long = peak_memory([linkweld, "-gl", "/dev/zero"], work, seconds=4)
        print("Memory:")
        print(f"  one 64 MiB line that matches nothing: peak RSS {line_peak / MB:6.1f} MiB "
              f"({line_peak / (64 * MB):.2f} of the line; target <= 1.3)")
        print(f"  a define whose name is 64 MiB:        peak RSS {name_peak / MB:6.1f} MiB "
              f"({name_peak / (64 * MB):.2f} of the name; target <= 2.5)")
        print(f"  /dev/zero as a header:                peak RSS {zero_short / MB:6.1f} MiB "
              f"after 2 s, {zero_long / MB:.1f} MiB after 4 s")

        print(f"Growth (medians of {runs} runs):")
        print(f"  {'input':>8}  {'linkweld':>10}  {'per MiB':>9}  {'peak RSS':>10}")
        for mib in (1, 10, 100):
            path = os.path.join(work, f"growth_{mib}.h")
            write_copies(path, glext, mib * MB)
            seconds, peak = measure([linkweld, "-gl", path], work, runs)
            actual = os.path.getsize(path) / MB
            print(f"  {actual:6.1f} MiB {seconds * 1000:8.1f} ms {seconds * 1000 / actual:6.2f} ms "
                  f"{peak / MB:8.1f} MiB")


if __name__ == "__main__":
    main()
