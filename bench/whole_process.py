#!/usr/bin/env python3
"""The support tool as a whole process against the command-line peers.

Each pair runs in turn (own, peer, own, peer ...) after a warm-up, on the
same file in a warm page cache, and the ratio is taken pair by pair, so that
a machine whose speed drifts moves both sides alike. Prints min, median and
max of each ratio (peer time / own time: above 1 the tool is faster) and the
target beside it, marked when the median misses it.

    bench/whole_process.py [BUILD_DIR] [--runs N]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

PAIRS = [
    # label, own arguments, peer command, file size, target
    ("xtbasis crc, 256 MiB", ["crc"], ["cksum"], 256 << 20, 1.5),
    ("xtbasis base64 encode, 64 MiB", ["base64", "encode"], ["base64"], 64 << 20, 1.5),
]


def seconds(command):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build/release")
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    tool = os.path.join(args.build, "tools", "xtbasis")
    if not os.access(tool, os.X_OK):
        sys.exit(f"no tool at {tool}: build the release preset first")
    with tempfile.TemporaryDirectory(prefix="xtb-whole-") as folder:
        for label, own, peer, size, target in PAIRS:
            path = os.path.join(folder, f"{size}.bin")
            if not os.path.exists(path):
                with open(path, "wb") as out:
                    out.write(os.urandom(size))
            own_command, peer_command = [tool, *own, path], [*peer, path]
            seconds(own_command), seconds(peer_command)  # warm-up
            ratios = [seconds(peer_command) / seconds(own_command) for _ in range(args.runs)]
            median = statistics.median(ratios)
            verdict = "" if median >= target else ", below target"
            print(f"speed ratio {label} / {' '.join(peer)}: "
                  f"min {min(ratios):.2f} median {median:.2f} max {max(ratios):.2f} (target >= {target}{verdict})")


if __name__ == "__main__":
    main()
