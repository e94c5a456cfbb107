#!/usr/bin/env python3
"""Whether two builds of the engines print byte-identical listings.

    bench/contin/same_listings.py OLD_DIR NEW_DIR [--keep DIR]

OLD_DIR and NEW_DIR each hold a contin.exe and a discrete.exe. Both builds
run on the recorded decks of tests/data (ten CONTIN, nine DISCRETE), the two
decks of compare_builds.py, and variants written from the recorded decks:

  CONTIN    the signal-weighted regularizer (SIGREG), NG 40, IWT 4 with
            weights 1/(|y| + 0.02)^2, every other point; decks of 60 to 300
            points from compare_builds.py's generator with other seeds
  DISCRETE  no baseline, amplitudes not held >= 0, the preliminary
            solutions printed, IWT 1, at most 4 components with 9 tries,
            a WEIGHTS card

Prints each deck whose listings differ and a count; exits with 1 when any
differ. A change meant to make the engines faster, not different, must
leave every listing as it was: rounding in a single place (a solution's
zero, a peak's width) shows in the bytes.
"""

import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
DATA = os.path.join(HERE, "..", "..", "tests", "data")
sys.path.insert(0, HERE)
from compare_builds import deck_text  # noqa: E402

BASES = ["bimodal", "closepair", "lognormal", "narrow", "negbase", "onesize", "pairbase", "twosizes"]


def contin_variants(out):
    decks = []

    def put(name, lines):
        path = os.path.join(out, name)
        with open(path, "wb") as f:
            f.write("\r\n".join(lines).encode("cp1250"))
        decks.append(path)

    for base in BASES:
        with open(os.path.join(DATA, f"{base}.contin.in"), encoding="cp1250") as f:
            lines = f.read().replace("\r\n", "\n").split("\n")
        end = lines.index(" END")
        head, tail = lines[:end], lines[end:]
        ny = int(tail[1].split()[1])
        values = [v for v in tail[2:] if v.strip()]
        t, y = values[:ny], values[ny:2 * ny]
        put(f"{base}.sigreg.contin.in", head + [" SIGREG                  1."] + tail)
        put(f"{base}.ng40.contin.in", [" NG                    40." if v.startswith(" NG ") else v for v in head] + tail)
        w = [f"{1.0 / (abs(float(v)) + 0.02) ** 2:.5f}" for v in y]
        put(f"{base}.iwt4.contin.in",
            head + [" IWT                     4.", " IFORMW", " (F30.10)"] + tail[:2] + t + y + w + [""])
        put(f"{base}.half.contin.in", head + [" END", f" NY     {len(t[::2])}"] + t[::2] + y[::2] + [""])
    for ny, ng, seed in ((60, 40, 1), (200, 120, 2), (300, 150, 3), (100, 100, 7), (150, 80, 9), (100, 100, 5),
                         (500, 200, 5)):
        path = os.path.join(out, f"generated-{ny}-{ng}-{seed}.contin.in")
        with open(path, "wb") as f:
            f.write(deck_text(ny, ng, seed).encode("cp1250"))
        decks.append(path)
    return decks


def discrete_variants(out):
    decks = []
    for base in BASES + ["recomputed"]:
        with open(os.path.join(DATA, f"{base}.discrete.in"), "rb") as f:
            raw = f.read().decode("cp1250")
        nl = "\r\n" if "\r\n" in raw else "\n"
        lines = raw.split(nl)
        switches, rest = lines[1][:9], lines[1][9:]

        def put(name, body):
            path = os.path.join(out, f"{base}.{name}.discrete.in")
            with open(path, "wb") as f:
                f.write(nl.join(body).encode("cp1250"))
            decks.append(path)

        put("nobase", [lines[0], "TFTTFFTTF" + rest] + lines[2:])
        put("free", [lines[0], "TFFFFFTTF" + rest] + lines[2:])
        put("prprel", [lines[0], "TFFTFTTTF" + rest] + lines[2:])
        put("iwt1", [lines[0], switches + "  6  1  5"] + lines[2:])
        put("small", [lines[0], switches + "  4  2  9"] + lines[2:])
        n = int(lines[2].strip())
        y = [float(v) for v in lines[3 + n:3 + 2 * n]]
        put("weights", [v for v in lines if v != ""] + ["WEIGHTS"] + [f"{1.0 / (abs(v) + 0.02) ** 2:.5E}" for v in y] +
            [""])
    return decks


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("old")
    ap.add_argument("new")
    ap.add_argument("--keep", help="directory to write the variant decks to (kept)")
    args = ap.parse_args()
    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
        return compare(args.old, args.new, args.keep)
    with tempfile.TemporaryDirectory(prefix="same-listings-") as out:
        return compare(args.old, args.new, out)


def compare(old, new, out):
    recorded = sorted(os.path.join(DATA, f) for f in os.listdir(DATA) if f.endswith(".in"))
    jobs = [(d, "contin.exe") for d in recorded if d.endswith(".contin.in")] + \
           [(d, "contin.exe") for d in contin_variants(out)] + \
           [(d, "discrete.exe") for d in recorded if d.endswith(".discrete.in")] + \
           [(d, "discrete.exe") for d in discrete_variants(out)]
    differ = 0
    for deck, exe in jobs:
        with open(deck, "rb") as f:
            text = f.read()
        listings = [subprocess.run([os.path.join(d, exe)], input=text, stdout=subprocess.PIPE).stdout
                    for d in (old, new)]
        if listings[0] != listings[1]:
            differ += 1
            print(f"differ: {exe} {deck}")
    print(f"{len(jobs)} decks, {differ} listings differ")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
