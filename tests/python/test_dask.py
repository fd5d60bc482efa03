"""marvolenti.dask on a local cluster of two worker processes: maps equal to in-process runs."""

import os

import h5py
import numpy as np
import pytest
import zarr

import dask
import dask.array as da
from distributed import Client, LocalCluster

import marvolenti as mv
import marvolenti.dask as mvd
from conftest import references
from test_core import assert_same

KEYS = ["dmut", "fraction", "error", "rfactor", "chi2"]


@pytest.fixture(scope="module")
def client():
    with mvd.configure_workers(), \
            LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                         dashboard_address=":0") as cluster, Client(cluster) as client:
        yield client


def test_workers_start_with_the_allocation_settings(client):
    seen = client.run(lambda: {name: os.environ.get(name) for name in mvd.WORKER_ENVIRONMENT})
    assert list(seen.values()) == [mvd.WORKER_ENVIRONMENT] * 2


@pytest.fixture(scope="module")
def arrays(sample):
    with h5py.File(sample / "h5" / "sample_exchange.h5") as f:
        return f["exchange/data"][:], f["exchange/data_white"][:], f["exchange/energy"][:]


@pytest.fixture(scope="module")
def store(arrays, tmp_path_factory):
    """The sample stack in zarr, in chunks that no walk's blocks fit."""
    i1, i0, energies = arrays
    path = tmp_path_factory.mktemp("zarr") / "sample.zarr"
    root = zarr.open_group(str(path), mode="w")
    root.create_dataset("i1", data=i1, chunks=(30, 10, 13))
    root.create_dataset("i0", data=i0, chunks=(50, 17, 11))
    root.create_dataset("energies", data=energies)
    return path


RUNS = {
    "bin 0, whole image": dict(bin=(0, 0), area=None),
    "bin 2, whole image": dict(bin=(2, 2), area=None),
    "bin 2 x 1, area from (3, 4)": dict(bin=(2, 1), area=(3, 4, 40, 41)),
    "bin 1, MLCF, sum to one": dict(bin=(1, 1), area=None, mode="mlcf", constraint=2),
}


@pytest.mark.parametrize("name", RUNS)
def test_cluster_maps_equal_in_process(client, sample, arrays, store, name):
    run = dict(RUNS[name])
    i1, i0, energies = arrays
    expected = mv.lcf_map(mv.Stack.from_arrays(i1, i0, energies=energies),
                          references(sample), **run)
    maps = mvd.lcf_map(da.from_zarr(str(store), "i1"), energies, references(sample),
                       i0=da.from_zarr(str(store), "i0"), **run)
    maps = client.compute(maps).result()
    for key in KEYS:
        assert_same(maps[key], expected[key], f"{name}: {key}")


def test_slices_of_a_4d_stack(client, sample, arrays):
    """(N, Z, H, W) gives every slice's maps, as a run over that slice alone does."""
    i1, i0, energies = arrays
    slices = [i1, i1[:, ::-1, :], np.roll(i1, 7, axis=2)]
    stack = np.stack(slices, axis=1)
    i0_4d = np.stack([i0] * 3, axis=1)
    maps = mvd.lcf_map(da.from_array(stack, chunks=(40, 1, 20, 20)), energies,
                       references(sample), i0=da.from_array(i0_4d, chunks=(121, 2, 48, 48)),
                       bin=(1, 1))
    maps = client.compute(maps).result()
    assert maps["rfactor"].shape == (3, 48, 48)
    for z, frames in enumerate(slices):
        expected = mv.lcf_map(mv.Stack.from_arrays(np.ascontiguousarray(frames), i0,
                                                   energies=energies),
                              references(sample), bin=(1, 1))
        for key in ["fraction", "error"]:
            assert_same(maps[key][:, z], expected[key], f"slice {z}: {key}")
        for key in ["rfactor", "chi2"]:
            assert_same(maps[key][z], expected[key], f"slice {z}: {key}")


def _peak_rss_bytes():
    """The process's peak resident memory since it started its program (getrusage counts
    the parent's pages from before the exec too)."""
    with open("/proc/self/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) * 1024
    raise RuntimeError("no VmHWM in /proc/self/status")


def test_stack_larger_than_a_workers_memory(sample, tmp_path):
    """A stack of 220 MB in zarr, run by workers of 200 MB each."""
    limit = 200 * 2**20
    frames, size = 100, 1050
    energies = np.linspace(6950.0, 7800.0, frames)
    e, mu = mv.read_spectrum(references(sample)[0])
    absorption = np.interp(energies, e, mu)
    i1 = zarr.open(str(tmp_path / "big.zarr"), mode="w", shape=(frames, size, size),
                   chunks=(frames, 200, 200), dtype=np.uint16)
    ramp = np.linspace(0.5, 1.5, size)[None, :]
    for k in range(frames):
        i1[k] = (20000 * np.exp(-absorption[k] * ramp)).astype(np.uint16).repeat(size, axis=0)
    assert i1.nbytes > limit
    with mvd.configure_workers(), \
            LocalCluster(n_workers=2, threads_per_worker=1, processes=True, memory_limit=limit,
                         dashboard_address=":0") as cluster, Client(cluster) as client:
        workers = set(client.scheduler_info()["workers"])
        maps = mvd.lcf_map(da.from_zarr(i1), energies, references(sample))
        fraction = client.compute(da.nanmean(maps["fraction"][0], axis=0)).result()
        peaks = client.run(_peak_rss_bytes)
        assert set(client.scheduler_info()["workers"]) == workers, "a worker was restarted"
    assert fraction.shape == (size,)
    assert np.isfinite(fraction).all()
    for worker, peak in peaks.items():
        assert peak < limit, f"{worker} peaked at {peak / 2**20:.0f} MB of {limit / 2**20} MB"


def test_bad_arguments(arrays, sample):
    i1, i0, energies = arrays
    with pytest.raises(ValueError, match="121 images but 3 energies"):
        mvd.lcf_map(i1, energies[:3], references(sample))
    with pytest.raises(ValueError, match="holds no pixel"):
        mvd.lcf_map(i1, energies, references(sample), area=(5, 5, 0, 10))
    with pytest.raises(TypeError, match="unknown options: colour"):
        mvd.lcf_map(i1, energies, references(sample), colour=1)


def test_chunks_lie_between_blocks():
    # Blocks of 5 from column 3: borders at 3 + 10 k; the last 2 columns join the chunk before.
    assert mvd.block_chunks(45, 3, 45, 2, 10) == (13, 10, 10, 12)
    assert mvd.block_chunks(48, 0, 48, 0, 13) == (13, 13, 13, 9)
