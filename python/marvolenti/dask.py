"""Area runs over image stacks held as dask arrays, on a local machine or a cluster.

The stack is cut into chunks of whole blocks of the area walk: chunk borders in H and W lie on
the borders between the walk's blocks, so that no block straddles two chunks, and every chunk
is run in process by the compiled module. Each chunk also sees the bin half widths of its
neighbours (``map_overlap``), nothing beyond the image. The stitched maps therefore equal,
cell by cell, the maps of one run over the whole stack in process.
"""

import numpy as np

import dask
import dask.array as da

from . import _core

__all__ = ["lcf_map", "block_chunks", "configure_workers", "WORKER_ENVIRONMENT"]

# Environment for the Dask worker processes that run these maps. Distributed starts its workers
# with a small malloc trim threshold, which also holds glibc's mmap threshold at 128 KiB: every
# image and map buffer of a chunk then came from fresh pages, and a third of a worker's time
# went to the kernel clearing and unmapping them. With these, buffers of up to 64 MiB come from
# the heap and are used again, and the heap returns memory to the system once 256 MiB lie free
# at its top. The C library reads them when a process starts, so the nanny must set them before
# it starts a worker: configure_workers() does so.
WORKER_ENVIRONMENT = {"MALLOC_MMAP_THRESHOLD_": str(64 << 20),
                      "MALLOC_TRIM_THRESHOLD_": str(256 << 20)}


def configure_workers():
    """Sets WORKER_ENVIRONMENT in this process's Dask configuration, for the worker processes
    that clusters started from here (LocalCluster, or nannies of `dask worker`) start later.
    Returns the setting, which as a context manager puts the configuration back at its end."""
    return dask.config.set({f"distributed.nanny.pre-spawn-environ.{name}": value
                     for name, value in WORKER_ENVIRONMENT.items()})

# Options passed through to the in-process run of each chunk.
_RUN_OPTIONS = {"mode", "form", "ranges", "reference_form", "reference_ranges", "shifts",
                "constraint", "fit_range", "best_subset", "fluorescence", "threads"}


def block_chunks(size, start, end, half, target):
    """Chunk sizes along one axis of `size` pixels whose borders lie between the blocks of a
    walk from `start` to `end` with half width `half`: every chunk about `target` pixels wide,
    the pixels before `start` with the first chunk, none narrower than a block."""
    step = 2 * half + 1
    blocks = max(1, round(target / step))
    borders = [0]
    border = start + blocks * step
    while border < size:
        borders.append(border)
        border += blocks * step
    borders.append(size)
    # A last chunk narrower than a block joins the one before it, so that the overlap of
    # depth `half` finds room in every chunk.
    if len(borders) > 2 and borders[-1] - borders[-2] < step:
        del borders[-2]
    return tuple(np.diff(borders).tolist())


def _span(origin, length, size):
    """The pixels [first, end) of an area along one axis, put in order as the walk does."""
    first, end = int(origin), int(origin + length)
    if end < first:
        first, end = end, first
    return first, end


def _references(references):
    """References as (energies, mu) pairs, files read here so that workers need no files."""
    pairs = []
    for reference in references:
        if isinstance(reference, str):
            pairs.append(_core.read_spectrum(reference))
        else:
            energies, mu = reference
            pairs.append((np.asarray(energies, float), np.asarray(mu, float)))
    return pairs


def _chunk_maps(i1, i0, *, energies, i0_energies, references, half, area, borders, refs,
                options, block_id):
    """The maps of one chunk with its margins, trimmed to the chunk: (3 refs + 2, ..., h, w)."""
    (xw, yw), (x0, x1, y0, y1) = half, area
    row, column = block_id[-2], block_id[-1]
    cy0, cy1 = borders[0][row], borders[0][row + 1]
    cx0, cx1 = borders[1][column], borders[1][column + 1]
    # The margins the overlap added: none at the image's borders.
    top = yw if row > 0 else 0
    left = xw if column > 0 else 0
    slices = i1.shape[1:-2]
    out = np.zeros((3 * refs + 2,) + slices + (cy1 - cy0, cx1 - cx0))
    ax0, ax1 = max(x0, cx0), min(x1, cx1)
    ay0, ay1 = max(y0, cy0), min(y1, cy1)
    if ax1 <= ax0 or ay1 <= ay0:
        return out
    local_area = (ax0 - cx0 + left, ay0 - cy0 + top, ax1 - ax0, ay1 - ay0)
    for index in np.ndindex(*slices):
        frames = (slice(None),) + index
        stack = _core.Stack.from_arrays(
            np.ascontiguousarray(i1[frames]),
            None if i0 is None else np.ascontiguousarray(i0[frames]),
            energies=energies, i0_energies=i0_energies)
        maps = _core.lcf_map(stack, references, bin=(xw, yw), area=local_area, **options)
        keep = (slice(top, top + cy1 - cy0), slice(left, left + cx1 - cx0))
        values = np.concatenate([maps["dmut"], maps["fraction"], maps["error"],
                                 maps["rfactor"][None], maps["chi2"][None]])
        out[(slice(None),) + index] = values[(slice(None),) + keep]
    return out


def lcf_map(i1, energies, references, i0=None, i0_energies=None, bin=(0, 0), area=None,
            chunk_size=None, **options):
    """LCF / MLCF maps of a stack (N, H, W), or (N, Z, H, W) for Z slices, held as a dask
    array (or anything dask.array.asarray takes), as marvolenti.lcf_map gives them in process.

    energies: the N energies of the I1 images; i0 (M, H, W) or (M, Z, H, W) with its M
    energies i0_energies (the I1 energies when not given). references: file names or
    (energies, mu) pairs. bin: the half widths (xw, yw); area: (x, y, width, height), the
    whole image when None. chunk_size: pixels of a chunk in H and W, the I1 array's own
    chunks when None. Further options go to marvolenti.lcf_map (mode, constraint, form, ...);
    threads defaults to 1 per chunk, as the scheduler runs chunks side by side.

    Returns a dict of lazy dask arrays: "dmut", "fraction", "error" of shape (refs, [Z,] H, W)
    and "rfactor", "chi2" of shape ([Z,] H, W).
    """
    unknown = set(options) - _RUN_OPTIONS
    if unknown:
        raise TypeError(f"unknown options: {', '.join(sorted(unknown))}")
    options.setdefault("threads", 1)
    i1 = da.asarray(i1)
    if i1.ndim not in (3, 4):
        raise ValueError(f"I1 must be an array of shape (N, H, W) or (N, Z, H, W), not of "
                         f"{i1.ndim} dimensions")
    energies = np.asarray(energies, float)
    if energies.shape != (i1.shape[0],):
        raise ValueError(f"I1 has {i1.shape[0]} images but {energies.size} energies")
    if i0 is not None:
        i0 = da.asarray(i0)
        if i0.ndim != i1.ndim or i0.shape[1:] != i1.shape[1:]:
            raise ValueError(f"I0 of shape {i0.shape} does not match I1 of shape {i1.shape}")
        i0_energies = energies if i0_energies is None else np.asarray(i0_energies, float)
        if i0_energies.shape != (i0.shape[0],):
            raise ValueError(f"I0 has {i0.shape[0]} images but {i0_energies.size} energies")
    pairs = _references(references)
    if not pairs:
        raise ValueError("No reference spectrum")
    height, width = i1.shape[-2:]
    xw, yw = abs(int(bin[0])), abs(int(bin[1]))
    if area is None:
        area = (0, 0, width, height)
    x0, x1 = _span(area[0], area[2], width)
    y0, y1 = _span(area[1], area[3], height)
    if x1 == x0 or y1 == y0:
        raise ValueError(f"The area {tuple(area)} holds no pixel")

    target_h = chunk_size or i1.chunks[-2][0]
    target_w = chunk_size or i1.chunks[-1][0]
    chunks_h = block_chunks(height, max(y0, 0), y1, yw, target_h)
    chunks_w = block_chunks(width, max(x0, 0), x1, xw, target_w)
    borders = (np.concatenate([[0], np.cumsum(chunks_h)]).tolist(),
               np.concatenate([[0], np.cumsum(chunks_w)]).tolist())
    middle = i1.chunks[1:-2]
    i1 = i1.rechunk((i1.shape[0],) + middle + (chunks_h, chunks_w))
    arrays = [i1]
    if i0 is not None:
        arrays.append(i0.rechunk((i0.shape[0],) + middle + (chunks_h, chunks_w)))
    depth = {i1.ndim - 2: yw, i1.ndim - 1: xw}
    refs = len(pairs)
    run = dict(energies=energies, i0_energies=i0_energies, references=pairs, half=(xw, yw),
               area=(x0, x1, y0, y1), borders=borders, refs=refs, options=options)

    def chunk(i1_block, *i0_block, block_id=None):
        return _chunk_maps(i1_block, i0_block[0] if i0_block else None, block_id=block_id,
                           **run)

    maps = da.map_overlap(chunk, *arrays, depth=depth, boundary="none", trim=False,
                          align_arrays=False, dtype=float,
                          chunks=((3 * refs + 2,),) + middle + (chunks_h, chunks_w))
    return {"dmut": maps[:refs], "fraction": maps[refs:2 * refs],
            "error": maps[2 * refs:3 * refs], "rfactor": maps[3 * refs],
            "chi2": maps[3 * refs + 1]}
