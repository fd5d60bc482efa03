#!/usr/bin/python3
"""Accuracy and speed of the stack registration against scikit-image's phase_cross_correlation.

Writes the sample data set with known sub-pixel drifts (makesampledata --drift), registers its
I1 images against the last one with both, upsampling 100, in interleaved rounds (scikit-image,
then ours, then scikit-image, ...), and prints the RMS error of each against the known shifts
and the wall times: scikit-image's over the registration calls only (Python's start-up and the
reading of the files are not counted), ours as registerfiles reports it (the registration on
all cores, without start-up and reading).

Usage: bench/calib/compare_skimage.py [--build build] [--size 256] [--rounds 5]
"""

import argparse
import glob
import os
import statistics
import subprocess
import tempfile
import time

import numpy as np
import skimage.io
from skimage.registration import phase_cross_correlation

UPSAMPLE = 100


def known_shifts(folder):
    """The shift (dx, dy) that registers each image onto the last: minus its drift."""
    rows = np.loadtxt(os.path.join(folder, "drift.txt"), comments="#")
    return -(rows[:, 2:4] + rows[:, 4:6])


def skimage_shifts(images):
    reference = images[-1]
    shifts = []
    for image in images:
        (dy, dx), _, _ = phase_cross_correlation(reference, image, upsample_factor=UPSAMPLE)
        shifts.append((dx, dy))
    return np.array(shifts)


def our_shifts(build, files):
    output = subprocess.run(
        [os.path.join(build, "bench", "registerfiles"), "--upsample", str(UPSAMPLE)] + files,
        check=True, capture_output=True, text=True).stdout.split("\n")
    seconds = float(output[0].split()[1])
    rows = np.array([[float(v) for v in line.split()] for line in output[1:] if line])
    return seconds, rows[:, 1:3]


def rms(found, truth):
    return float(np.sqrt(np.mean(np.sum((found - truth) ** 2, axis=1))))


def summary(values):
    return "median %.4f (%.4f to %.4f)" % (statistics.median(values), min(values), max(values))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default="build")
    parser.add_argument("--size", type=int, default=256)
    parser.add_argument("--rounds", type=int, default=5)
    arguments = parser.parse_args()
    rounds = max(5, arguments.rounds)

    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([os.path.join(arguments.build, "makesampledata"), "--drift", "--i1-only",
                        "--size", str(arguments.size), folder],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        files = sorted(glob.glob(os.path.join(folder, "I1", "*.tif")))
        truth = known_shifts(folder)
        images = [skimage.io.imread(f).astype(np.float64) for f in files]

        theirs, ours, ratios = [], [], []
        for _ in range(rounds):
            start = time.perf_counter()
            their_found = skimage_shifts(images)
            theirs.append(time.perf_counter() - start)
            seconds, our_found = our_shifts(arguments.build, files)
            ours.append(seconds)
            ratios.append(theirs[-1] / ours[-1])

    print("%d images of %d x %d, upsampling %d, %d interleaved rounds, load average %.2f"
          % (len(files), arguments.size, arguments.size, UPSAMPLE, rounds, os.getloadavg()[0]))
    print("RMS error against the known shifts: ours %.4f px, scikit-image %.4f px"
          % (rms(our_found, truth), rms(their_found, truth)))
    print("wall time, ours:         " + summary(ours) + " s")
    print("wall time, scikit-image: " + summary(theirs) + " s")
    print("scikit-image / ours:     " + summary(ratios))
    # The lines scripts/bench gathers into the README's Speed table.
    for name, found in (("ours", our_found), ("scikit-image's phase_cross_correlation",
                                                their_found)):
        error = rms(found, truth)
        print("ROW\tstack registration of the --drift sample set, %d x %d, %d images, RMS error "
              "of %s\t%.4f\t%.4f\t%.4f\tpx"
              % (arguments.size, arguments.size, len(files), name, error, error, error))
    print("ROW\tthe same registration, scikit-image's wall time against ours\t%.3g\t%.3g\t%.3g\tx"
          % (statistics.median(ratios), min(ratios), max(ratios)))


if __name__ == "__main__":
    main()
