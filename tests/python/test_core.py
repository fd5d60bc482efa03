"""The module against the program's own output on the sample data set, and bad arguments."""

import signal
import subprocess
import threading

import h5py
import numpy as np
import pytest

import marvolenti as mv
from conftest import BUILD, ENERGY_PATTERN, files, load_lines, references, run_program


@pytest.fixture(scope="module")
def stack(sample):
    return mv.Stack.from_files(files(sample, "I1"), files(sample, "I0"),
                               energy_pattern=ENERGY_PATTERN)


def assert_same(values, expected, what):
    """Bit for bit, NaN equal to NaN."""
    same = (values == expected) | (np.isnan(values) & np.isnan(expected))
    assert same.all(), (f"{what}: {np.count_nonzero(~same)} cells differ, first at "
                        f"{np.argwhere(~same)[0]}: {values[~same][0]!r} "
                        f"expected {expected[~same][0]!r}")


# Area as select_region takes it (corners) and as the module takes it (x, y, width, height).
CONSTRAINTS = ["none", "nonneg", "sum1", "both"]
RUNS = {
    "LCF, bin 1 x 2, area": dict(mode="lcf", bin=(1, 2), corners=(5, 6, 40, 29)),
    "MLCF, bin 0, whole image": dict(mode="mlcf", bin=(0, 0), corners=None),
    "LCF, non-negative, bin 2": dict(mode="lcf", bin=(2, 2), corners=(0, 0, 48, 48),
                                     constraint=1),
}


@pytest.mark.parametrize("name", RUNS)
def test_maps_equal_the_programs_area_run(sample, stack, tmp_path, name):
    run = RUNS[name]
    corners = run["corners"]
    constraint = run.get("constraint", 0)
    lines = load_lines(sample) + [
        f'analyzer_set_LCF_std {j} 1 0 "{ref}" 0' for j, ref in enumerate(references(sample))]
    lines += [f"analyzer_set_LCF_mode {1 if run['mode'] == 'mlcf' else 0}",
              f"analyzer_set_LCF_constraint {CONSTRAINTS[constraint]}",
              f"set_band_w {run['bin'][0]}", f"set_band_h {run['bin'][1]}"]
    if corners:
        lines.append("select_region %d %d %d %d" % corners)
    lines += ["analyzer_exec_LCF", "saveDataCfg_save_as_text", "analyzer_select_image_type 1",
              f'save_data "{tmp_path}/frac.dat"', "analyzer_set_ra_energy 7300",
              "analyzer_exec_ra", f'save_results_h5 "{tmp_path}/out.h5"']
    run_program(tmp_path, lines)

    area = None
    if corners:
        area = (corners[0], corners[1], corners[2] - corners[0], corners[3] - corners[1])
    maps = mv.lcf_map(stack, references(sample), bin=run["bin"], area=area, mode=run["mode"],
                      constraint=constraint)
    ra = mv.ra_map(stack, 7300, bin=run["bin"], area=area)
    with h5py.File(tmp_path / "out.h5") as saved:
        entry = saved["entry"]
        x = entry["lcf_r_factor/x"][:].astype(int)
        y = entry["lcf_r_factor/y"][:].astype(int)
        centres = np.ix_(y, x)
        for j in range(2):
            for key, group in [("dmut", "dmut"), ("fraction", "fraction"),
                               ("error", "fraction_error")]:
                assert_same(maps[key][j][centres], entry[f"lcf_ref{j + 1}_{group}/data"][:],
                            f"{name}: {key} of reference {j + 1}")
        assert_same(maps["rfactor"][centres], entry["lcf_r_factor/data"][:], "R-factor")
        assert_same(maps["chi2"][centres], entry["lcf_reduced_chi2/data"][:], "chi-square")
        for key in ["dmut", "residual", "ratio"]:
            assert_same(ra[key][centres], entry[f"ra_{key}/data"][:], f"{name}: RA {key}")
    # The text file holds the fraction of the first reference at every block centre.
    saved = np.loadtxt(tmp_path / "frac-0.dat", delimiter=",")
    module = [float("%.6g" % maps["fraction"][0][int(cy), int(cx)]) for cx, cy, _ in saved]
    np.testing.assert_array_equal(module, saved[:, 2])


def test_blocks_fill_their_cells(sample, stack):
    """Each block writes its value into all its cells inside the image; the rest stays 0."""
    maps = mv.lcf_map(stack, references(sample), bin=(1, 1), area=(6, 6, 12, 6))
    fraction = maps["fraction"][0]
    assert (fraction[6:12, 6:18] == np.kron(fraction[7:12:3, 7:18:3], np.ones((3, 3)))).all()
    fraction[6:12, 6:18] = 0
    assert (fraction == 0).all()


def test_sources_give_the_same_spectra(sample, stack):
    """The TIFF files, the HDF5 copy and the same samples as arrays."""
    h5 = mv.Stack.from_h5(str(sample / "h5" / "sample_exchange.h5"))
    assert h5.shape == stack.shape
    for x, y, xw, yw in [(10, 10, 0, 0), (30, 20, 2, 1), (47, 47, 3, 3)]:
        e_tif, mu_tif = stack.spectrum(x, y, xw, yw)
        e_h5, mu_h5 = h5.spectrum(x, y, xw, yw)
        np.testing.assert_allclose(e_h5, e_tif, rtol=0, atol=1e-6,
                                   err_msg=f"energies at {(x, y, xw, yw)}")
        np.testing.assert_allclose(mu_h5, mu_tif, rtol=1e-12, atol=0,
                                   err_msg=f"spectrum at {(x, y, xw, yw)}")


def test_arrays_give_the_absorption():
    rng = np.random.default_rng(1)
    i0 = rng.integers(20000, 30000, size=(5, 4, 6)).astype(np.uint16)
    i1 = (i0 * 0.5).astype(np.uint16)
    energies = np.arange(7000.0, 7005.0)
    for dtype in [np.uint16, np.float32]:
        s = mv.Stack.from_arrays(i1.astype(dtype), i0.astype(dtype), energies=energies)
        e, mu = s.spectrum(2, 1, 1, 1)
        block = (slice(None), slice(0, 3), slice(1, 4))
        expected = np.log(i0[block].sum(axis=(1, 2), dtype=float)
                          / i1[block].sum(axis=(1, 2), dtype=float))
        np.testing.assert_allclose(mu, expected, rtol=1e-12, err_msg=str(dtype))
        np.testing.assert_array_equal(e, energies)


def test_normalize_finds_the_references_edge(sample):
    e, mu = mv.read_spectrum(str(sample / "ref_FeA_7112.dat"))
    n = mv.normalize(e, mu, form="line")
    assert abs(n["e0"] - 7112) < 3, n["e0"]
    assert n["jump"] > 0
    np.testing.assert_allclose(n["normalized"], 1 + n["norm_post_base"], atol=1e-12)
    np.testing.assert_allclose(n["double_norm_pre_base"],
                               (mu - n["pre_edge"]) / (n["post_edge"] - n["pre_edge"]),
                               rtol=1e-9, atol=1e-12)


def test_references_as_pairs_equal_files(sample, stack):
    pairs = [mv.read_spectrum(ref) for ref in references(sample)]
    by_file = mv.lcf_map(stack, references(sample), bin=(1, 1))
    by_pair = mv.lcf_map(stack, pairs, bin=(1, 1), threads=1)
    for key in ["fraction", "dmut", "error", "rfactor", "chi2"]:
        assert_same(by_pair[key], by_file[key], key)


def _bad(sample, stack):
    words = np.zeros((3, 4, 5), np.uint16)
    e3 = [1.0, 2.0, 3.0]
    refs = references(sample)
    return {
        "int32 images": (TypeError, "uint16 or float32",
                         lambda: mv.Stack.from_arrays(words.astype(np.int32), energies=e3)),
        "images of rank 2": (ValueError, "shape \\(N, H, W\\)",
                             lambda: mv.Stack.from_arrays(words[0], energies=e3)),
        "energies of another length": (ValueError, "3 images but 2 energies",
                                       lambda: mv.Stack.from_arrays(words, energies=e3[:2])),
        "no energies": (ValueError, "energies are needed",
                        lambda: mv.Stack.from_arrays(words)),
        "I0 of another size": (ValueError, "x 4 pixels",
                               lambda: mv.Stack.from_arrays(words, words[:, :, :4],
                                                            energies=e3)),
        "missing TIFF": (ValueError, "nothing.tif",
                         lambda: mv.Stack.from_files([str(sample / "nothing.tif")])),
        "missing HDF5": (ValueError, "nothing.h5",
                         lambda: mv.Stack.from_h5(str(sample / "nothing.h5"))),
        "empty area": (ValueError, "holds no pixel",
                       lambda: mv.lcf_map(stack, refs, area=(3, 3, 0, 5))),
        "missing reference": (ValueError, "Cannot read",
                              lambda: mv.lcf_map(stack, [str(sample / "none.dat")])),
        "no reference": (ValueError, "No reference", lambda: mv.lcf_map(stack, [])),
        "unknown mode": (ValueError, "mode", lambda: mv.lcf_map(stack, refs, mode="xlcf")),
        "reversed ranges": (ValueError, "Bad normalisation ranges",
                            lambda: mv.lcf_map(stack, refs, ranges=(-10, -100, 10, 1000))),
        "spectrum of unequal lengths": (ValueError, "3 energies but 2 values",
                                        lambda: mv.normalize([1, 2, 3], [1, 2])),
        "unknown element": (ValueError, "Unknown elements: Xx",
                            lambda: mv.element_maps(stack, "Fe Xx")),
    }


BAD = ["int32 images", "images of rank 2", "energies of another length", "no energies",
       "I0 of another size", "missing TIFF", "missing HDF5", "empty area",
       "missing reference", "no reference", "unknown mode", "reversed ranges",
       "spectrum of unequal lengths", "unknown element"]


@pytest.mark.parametrize("name", BAD)
def test_bad_arguments_raise(sample, stack, name):
    error, message, call = _bad(sample, stack)[name]
    with pytest.raises(error, match=message):
        call()


def test_ctrl_c_stops_a_run(sample):
    """SIGINT during a long run raises KeyboardInterrupt, and the next run goes on."""
    rng = np.random.default_rng(2)
    e, mu = mv.read_spectrum(str(sample / "ref_FeA_7112.dat"))
    energies = np.linspace(6950, 7800, 100)
    # A run of several seconds, so that the signal comes while it goes on however fast the
    # machine is.
    i1 = rng.integers(1000, 2000, size=(100, 1000, 1000)).astype(np.uint16)
    big = mv.Stack.from_arrays(i1, energies=energies)
    refs = [(e, mu), (e + 5, mu), (e - 5, mu), (e + 10, mu)]
    timer = threading.Timer(0.3, lambda: signal.raise_signal(signal.SIGINT))
    timer.start()
    with pytest.raises(KeyboardInterrupt):
        mv.lcf_map(big, refs, best_subset=4, threads=1)
    timer.join()
    assert mv.lcf_map(big, refs[:2], area=(0, 0, 4, 4))["fraction"].shape == (2, 1000, 1000)


def test_element_maps_equal_the_programs_element_run(tmp_path):
    sample = tmp_path / "elements"
    subprocess.run([str(BUILD / "makesampledata"), str(sample), "--size", "32", "--elements"],
                   check=True, capture_output=True)
    run_program(tmp_path, load_lines(sample) + [
        "select_region 2 3 30 29", "set_band_w 1", "set_band_h 2",
        "analyzer_select_analysis_mode 2", 'analyzer_target_elements "Fe Cu"',
        "analyzer_exec_elems", f'save_results_h5 "{tmp_path}/out.h5"'])
    stack = mv.Stack.from_files(files(sample, "I1"), files(sample, "I0"),
                                energy_pattern=ENERGY_PATTERN)
    maps = mv.element_maps(stack, "Fe Cu", bin=(1, 2), area=(2, 3, 28, 26))
    kinds = ["dmut", "ratio", "mu_plus", "mu_minus", "edge_position", "roi", "nroi"]
    with h5py.File(tmp_path / "out.h5") as saved:
        entry = saved["entry"]
        groups = {name.split("_")[0]: entry[name] for name in entry if name.startswith("elem")}
        for k, kind in enumerate(kinds):
            for j, element in enumerate(["Fe", "Cu"]):
                group = groups[f"elem{k * 2 + j}"]
                x, y = group["x"][:].astype(int), group["y"][:].astype(int)
                assert_same(maps[kind][j][np.ix_(y, x)], group["data"][:], f"{kind} of {element}")
    assert (maps["dmut"][:, :3, :] == 0).all()


def test_shift_map_equals_the_programs_calibration(tmp_path):
    sample = tmp_path / "shifted"
    subprocess.run([str(BUILD / "makesampledata"), str(sample), "--size", "32", "--eshift", "3"],
                   check=True, capture_output=True)
    standard = str(sample / "ref_FeA_7112.dat")
    run_program(tmp_path, load_lines(sample) + [
        f'calib_load_std "{standard}"', "select_region 1 2 31 30", "set_band_w 2",
        "set_band_h 1", "calib_exec", f'save_results_h5 "{tmp_path}/out.h5"'])
    stack = mv.Stack.from_files(files(sample, "I1"), files(sample, "I0"),
                                energy_pattern=ENERGY_PATTERN)
    shifts = mv.shift_map(stack, standard, bin=(2, 1), area=(1, 2, 30, 28))
    with h5py.File(tmp_path / "out.h5") as saved:
        group = saved["entry/energy_shift"]
        x, y = group["x"][:].astype(int), group["y"][:].astype(int)
        assert_same(shifts["shift"][np.ix_(y, x)], group["data"][:], "energy shift")
    assert shifts["blocks"] == len(x) * len(y)
    assert shifts["min"] <= shifts["average"] <= shifts["max"]
    assert shifts["max"] - shifts["min"] > 1, "the sample's shifts span 6 eV"
