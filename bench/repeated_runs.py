#!/usr/bin/env python3
"""Every benchmark program several times, each ratio as min, median and max.

One run of a benchmark program prints its ratios against the peer measured
in the same run; on a shared machine one run can be far off. This runs the
chosen programs N times in turn and gathers each "speed ratio" line (and
each absolute figure) over the runs, with the target and whether the median
meets it.

    bench/repeated_runs.py [BUILD_DIR] [--runs N] [--only SUBSTRING ...]
"""
import argparse
import os
import re
import statistics
import subprocess
import sys
from collections import defaultdict

# "speed ratio <label>: <value>[ (target >= <t>[, below target])]" or
# "<label>: <value> ns per iteration[ (target < <t>...)]"
LINE = re.compile(r"^(?P<label>.+?): (?P<value>[0-9.]+)(?P<unit> ns per iteration)?"
                  r"(?: \(target (?P<op>>=|<) (?P<target>[0-9.]+)(?:, below target)?\))?$")


def programs(build, only):
    folder = os.path.join(build, "bench")
    if not os.path.isdir(folder):
        sys.exit(f"no benchmarks in {folder}: build the release preset first")
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        if name.startswith("bench_") and os.access(path, os.X_OK) and os.path.isfile(path):
            if not only or any(part in name for part in only):
                yield path


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build/release")
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--only", nargs="*", default=[], help="programs whose name contains one of these")
    parser.add_argument("--limit", type=int, default=900, help="seconds a program may take")
    args = parser.parse_args()
    values = defaultdict(list)
    targets = {}
    failed = []
    chosen = list(programs(args.build, args.only))
    for run in range(args.runs):
        for program in chosen:
            try:
                # A program that ended but left a child holding its output
                # (a router it started) would otherwise be waited for forever.
                result = subprocess.run([program], capture_output=True, text=True, timeout=args.limit)
            except subprocess.TimeoutExpired:
                failed.append(f"{os.path.basename(program)} (run {run + 1}): no end within {args.limit} s")
                continue
            if result.returncode != 0:
                failed.append(f"{os.path.basename(program)} (run {run + 1}): exit {result.returncode}")
            for line in result.stdout.splitlines():
                match = LINE.match(line.strip())
                if not match or not (line.startswith("speed ratio ") or match["unit"]):
                    continue
                key = (os.path.basename(program), match["label"], bool(match["unit"]))
                values[key].append(float(match["value"]))
                if match["target"]:
                    targets[key] = (match["op"], float(match["target"]))
    for key, series in values.items():
        program, label, figure = key
        median = statistics.median(series)
        note = ""
        if key in targets:
            op, target = targets[key]
            met = median >= target if op == ">=" else median < target
            note = f" (target {op} {target:g}{'' if met else ', below target'})"
        unit = " ns" if figure else ""
        print(f"{label}: min {min(series):.2f} median {median:.2f} max {max(series):.2f}{unit}"
              f" over {len(series)} runs{note}")
    for failure in failed:
        print(f"not measured: {failure}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
