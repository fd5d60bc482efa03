"""LCF maps of the sample data set on a Dask cluster.

Writes the sample data set (build/makesampledata) as a zarr store, starts a local cluster of
two worker processes, fits every 3 x 3 block against the two reference spectra and saves the
maps as .npy files. Run from the repository after building:

    PYTHONPATH=build/python /usr/bin/python3 examples/lcf_on_dask.py out/

Give --scheduler tcp://host:8786 to run on an existing cluster instead; its workers need the
module on their PYTHONPATH and the zarr store on a path they all see.
"""

import argparse
import pathlib
import subprocess
import tempfile

import h5py
import numpy as np
import zarr

import dask.array as da
from distributed import Client, LocalCluster

import marvolenti.dask as mvd

BUILD = pathlib.Path(__file__).resolve().parents[1] / "build"


def write_sample(folder, size):
    """The sample data set in zarr: I1, I0 and their energies, in chunks of 64 x 64 pixels."""
    subprocess.run([str(BUILD / "makesampledata"), str(folder), "--size", str(size), "--h5"],
                   check=True, capture_output=True)
    with h5py.File(folder / "h5" / "sample_exchange.h5") as f:
        root = zarr.open_group(str(folder / "sample.zarr"), mode="w")
        root.create_dataset("i1", data=f["exchange/data"][:], chunks=(40, 64, 64))
        root.create_dataset("i0", data=f["exchange/data_white"][:], chunks=(40, 64, 64))
        root.create_dataset("energies", data=f["exchange/energy"][:])
    return folder / "sample.zarr"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("out", type=pathlib.Path, help="folder for the maps")
    parser.add_argument("--scheduler", help="address of a running scheduler")
    parser.add_argument("--size", type=int, default=256, help="image width and height")
    args = parser.parse_args()
    args.out.mkdir(parents=True, exist_ok=True)
    work = pathlib.Path(tempfile.mkdtemp(prefix="marvolenti-"))
    store = write_sample(work, args.size)
    references = [str(work / "ref_FeA_7112.dat"), str(work / "ref_FeB_7117.dat")]

    mvd.configure_workers()
    cluster = None if args.scheduler else LocalCluster(n_workers=2, threads_per_worker=1)
    with Client(args.scheduler or cluster) as client:
        print("dashboard:", client.dashboard_link)
        energies = zarr.open_group(str(store))["energies"][:]
        maps = mvd.lcf_map(da.from_zarr(str(store), "i1"), energies, references,
                           i0=da.from_zarr(str(store), "i0"), bin=(1, 1))
        maps = client.compute(maps).result()
    if cluster:
        cluster.close()
    for key, values in maps.items():
        np.save(args.out / f"{key}.npy", values)
    fraction = maps["fraction"][0]
    print(f"fraction of A: {np.nanmin(fraction):.3f} .. {np.nanmax(fraction):.3f}, "
          f"maps in {args.out}")


if __name__ == "__main__":
    main()
