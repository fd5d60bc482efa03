"""LCF maps from Python against the program, and on Dask, in interleaved rounds.

Run by hand after building (it writes the sample data set, I1 and I0 with one image per
energy, and a zarr copy of it to /dev/shm, a RAM disk):

    PYTHONPATH=build/python /usr/bin/python3 bench/python/bench_lcfmap.py [--size 1024]

Each round times, in this order: the program's own LCF area run (the headless program on a
batch file, from its "2da 1:" to its "2da 3:" log line), marvolenti.lcf_map on two threads
over the same TIFF files, marvolenti.dask.lcf_map over the zarr store on a local cluster of two
worker processes of one thread, and on one of one thread. Reported: the median ratio over the
rounds with the lowest and highest, wall time (only it shows threads and workers), and the CPU
seconds summed over all threads and processes for the Python runs.
"""

import argparse
import datetime
import os
import pathlib
import re
import shutil
import statistics
import subprocess
import sys
import time

import h5py
import numpy as np
import zarr

import dask.array as da
from distributed import Client, LocalCluster

import marvolenti as mv
import marvolenti.dask as mvd

BUILD = pathlib.Path(__file__).resolve().parents[2] / "build"
PATTERN = r"\d\d\d\d_\d\deV"


def program_run(folder, size):
    """Wall seconds of the program's area run, from its own log lines."""
    script = folder / "bench.bat"
    script.write_text("\n".join([
        f"set_i1_energy_pattern {PATTERN}", f"set_i0_energy_pattern {PATTERN}",
        f'load_I1_files_of_pattern new "{folder}/I1/" *.tif',
        f'load_I0_files_of_pattern new "{folder}/I0/" *.tif',
        f'analyzer_set_LCF_std 0 1 0 "{folder}/ref_FeA_7112.dat" 0',
        f'analyzer_set_LCF_std 1 1 0 "{folder}/ref_FeB_7117.dat" 0',
        f"select_region 0 0 {size} {size}", "set_band_w 0", "set_band_h 0",
        "analyzer_exec_LCF", "quit"]) + "\n")
    done = subprocess.run([str(BUILD / "marvolenti"), "-e", "-b", str(script), "-x"],
                          env={"QT_QPA_PLATFORM": "offscreen", "PATH": "/usr/bin:/bin"},
                          capture_output=True, text=True, check=True)
    stamps = {}
    for tag in ("2da 1:", "2da 3:"):
        found = re.findall(re.escape(tag) + r" (\d{6} \d\d:\d\d:\d\d\.\d{3})", done.stderr)
        stamps[tag] = datetime.datetime.strptime(found[-1], "%y%m%d %H:%M:%S.%f")
    return (stamps["2da 3:"] - stamps["2da 1:"]).total_seconds(), None


def timed(call, cpu_clock):
    cpu, wall = cpu_clock(), time.perf_counter()
    call()
    return time.perf_counter() - wall, cpu_clock() - cpu


def cluster_cpu(client):
    """CPU seconds of the client and every worker process so far."""
    return time.process_time() + sum(client.run(time.process_time).values())


def summary(values):
    return f"{statistics.median(values):.2f} ({min(values):.2f} .. {max(values):.2f})"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--size", type=int, default=1024)
    parser.add_argument("--energies", type=int, default=100)
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--chunk", type=int, default=256, help="zarr chunk in H and W")
    args = parser.parse_args()

    folder = pathlib.Path("/dev/shm/marvolenti-bench")
    shutil.rmtree(folder, ignore_errors=True)
    subprocess.run([str(BUILD / "makesampledata"), str(folder), "--size", str(args.size),
                    "--energies", str(args.energies), "--h5"], check=True, capture_output=True)
    refs = [str(folder / "ref_FeA_7112.dat"), str(folder / "ref_FeB_7117.dat")]
    i1_files = sorted(str(p) for p in (folder / "I1").glob("*.tif"))
    i0_files = sorted(str(p) for p in (folder / "I0").glob("*.tif"))
    stack = mv.Stack.from_files(i1_files, i0_files, energy_pattern=PATTERN)
    with h5py.File(folder / "h5" / "sample_exchange.h5") as f:
        store = zarr.open_group(str(folder / "sample.zarr"), mode="w")
        # Every energy in a chunk, uncompressed: a store written for runs in H and W on a RAM
        # disk, where decompression would cost more than the read.
        chunks = (f["exchange/data"].shape[0], args.chunk, args.chunk)
        for name, source in (("i1", "exchange/data"), ("i0", "exchange/data_white")):
            store.create_dataset(name, data=f[source][:], chunks=chunks, compressor=None)
        energies = f["exchange/energy"][:]
    frames = stack.shape[0]
    print(f"load average {os.getloadavg()[0]:.1f}; "
          f"stack {args.size} x {args.size} x {frames} (I1 and I0), bin 0, two references, "
          f"{args.rounds} rounds, zarr chunks {chunks} uncompressed on /dev/shm", flush=True)

    def dask_run(client):
        maps = mvd.lcf_map(da.from_zarr(str(folder / "sample.zarr"), "i1"), energies, refs,
                           i0=da.from_zarr(str(folder / "sample.zarr"), "i0"))
        return client.compute(maps).result()

    times = {key: [] for key in ("program", "module", "dask 2", "dask 1")}
    cpu = {key: [] for key in ("module", "dask 2", "dask 1")}
    mvd.configure_workers()
    workers = dict(threads_per_worker=1, dashboard_address=":0")
    with LocalCluster(n_workers=2, **workers) as two, LocalCluster(n_workers=1, **workers) as one, \
            Client(two) as client2, Client(one) as client1:
        dask_run(client2)
        dask_run(client1)
        for _ in range(args.rounds):
            times["program"].append(program_run(folder, args.size)[0])
            wall, seconds = timed(lambda: mv.lcf_map(stack, refs, threads=2), time.process_time)
            times["module"].append(wall)
            cpu["module"].append(seconds)
            for key, client in (("dask 2", client2), ("dask 1", client1)):
                wall, seconds = timed(lambda: dask_run(client), lambda: cluster_cpu(client))
                times[key].append(wall)
                cpu[key].append(seconds)
            print("  round:", ", ".join(f"{k} {v[-1]:.3f} s" for k, v in times.items()),
                  flush=True)

    ratio = lambda a, b: [x / y for x, y in zip(times[a], times[b])]
    print("wall seconds, median (lowest .. highest):")
    for key, values in times.items():
        print(f"  {key:8s} {summary(values)}")
    print("CPU seconds over all threads and processes:")
    for key, values in cpu.items():
        print(f"  {key:8s} {summary(values)}")
    print("ratios of wall time, median (lowest .. highest):")
    print(f"  lcf_map in process / the program's area run:  {summary(ratio('module', 'program'))}")
    print(f"  Dask one worker / two workers (speed-up):     {summary(ratio('dask 1', 'dask 2'))}")
    print(f"  Dask two workers / in process on two threads: {summary(ratio('dask 2', 'module'))}")
    print(f"load average {os.getloadavg()[0]:.1f}")
    shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
