#!/usr/bin/env python3
"""Whole-process CPU time of two builds of contin.exe on the same decks.

    bench/contin/compare_builds.py OLD_EXE NEW_EXE [--runs 15] [--keep DIR]
                                   [--discrete OLD_DISCRETE NEW_DISCRETE [--discrete-deck DECK]]

Writes two decks of two-component decay data (0.6 exp(-t/10) + 0.4
exp(-t/200), Gaussian noise 0.001 from a fixed seed, t log-spaced from 1 to
10^4, grid 0.1 to 1000): 100 points with NG 100 and 500 points with NG 200.
Each run feeds a deck to a program on standard input; the two programs run
in turn (old, new, old, new, ...) so that a change in the machine's load
touches both alike. The CPU time of a run is the user plus system time the
finished child used (getrusage of the children). Prints, per deck, the
median of each program, the ratio new/old of the medians, and whether the
two listings are identical.

With --discrete, two builds of discrete.exe are timed the same way on the
recorded default DISCRETE deck (bimodal.discrete.in of the reference
listings, or --discrete-deck) and printed as one more row.
"""

import argparse
import math
import os
import random
import resource
import statistics
import subprocess
import sys
import tempfile

DEFAULT_DISCRETE_DECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "data",
                                     "bimodal.discrete.in")


def deck_text(ny, ng, seed=5):
    rng = random.Random(seed)
    t = [1.0 * (1e4 / 1.0) ** (i / (ny - 1)) for i in range(ny)]
    y = [0.6 * math.exp(-tk / 10) + 0.4 * math.exp(-tk / 200) + rng.gauss(0.0, 1e-3) for tk in t]
    cards = [
        "bench", " LAST                    1.", " NINTT                   0.", " NLINF                   1.",
        " NORDER                  2.", " DOUSNQ                  1.", " RUSER    10             0.",
        " IUSER    10             4.", " RUSER    23             0.", " RUSER    22            -1.",
        " RUSER    21             1.", " GMNMX     1       1.00E-01", " GMNMX     2       1.00E+03",
        " LUSER     3            -1.", " IPLFIT    2             3.", " IFORMT", " (F30.10)", " IFORMY",
        " (F30.10)", f" NG                   {ng}.", " END", f" NY     {ny}",
    ]
    cards += [f"{v:.5f}" for v in t] + [f"{v:.5f}" for v in y]
    return "\r\n".join(cards) + "\r\n"


def cpu_run(exe, deck):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    out = subprocess.run([exe], input=deck, stdout=subprocess.PIPE, check=True).stdout
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return cpu, out


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--runs", type=int, default=15)
    ap.add_argument("--keep", help="directory to keep the decks and the last listings in")
    ap.add_argument("--discrete", nargs=2, metavar=("OLD_DISCRETE", "NEW_DISCRETE"),
                    help="also time two builds of discrete.exe on the recorded default deck")
    ap.add_argument("--discrete-deck", default=DEFAULT_DISCRETE_DECK, help="the DISCRETE deck to time them on")
    args = ap.parse_args()
    keep = args.keep or tempfile.mkdtemp(prefix="contin-bench-")
    os.makedirs(keep, exist_ok=True)
    print(f"{'deck':<18}{'old median ms':>15}{'new median ms':>15}{'ratio':>8}  listings")
    jobs = []
    for ny, ng in ((100, 100), (500, 200)):
        deck = deck_text(ny, ng).encode("cp1250")
        with open(os.path.join(keep, f"bench-{ny}-{ng}.in"), "wb") as f:
            f.write(deck)
        jobs.append((f"{ny} points, NG {ng}", f"bench-{ny}-{ng}", deck, args.old, args.new))
    if args.discrete:
        with open(args.discrete_deck, "rb") as f:
            deck = f.read()
        stem = os.path.basename(args.discrete_deck).removesuffix(".in")
        jobs.append(("DISCRETE " + stem.split(".")[0], stem, deck, *args.discrete))
    for name, stem, deck, old, new in jobs:
        times = {"old": [], "new": []}
        outs = {}
        for _ in range(args.runs):
            for which, exe in (("old", old), ("new", new)):
                cpu, outs[which] = cpu_run(exe, deck)
                times[which].append(cpu)
        for which in outs:
            with open(os.path.join(keep, f"{stem}.{which}.out"), "wb") as f:
                f.write(outs[which])
        mo, mn = statistics.median(times["old"]), statistics.median(times["new"])
        same = "identical" if outs["old"] == outs["new"] else "differ"
        print(f"{name:<18}{1000 * mo:>15.2f}{1000 * mn:>15.2f}{mn / mo:>8.3f}  {same}")
    print(f"(medians of {args.runs} interleaved runs each; decks and listings in {keep})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
