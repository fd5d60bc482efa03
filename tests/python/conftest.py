"""The generated sample data set and runs of the real program on batch files."""

import os
import pathlib
import subprocess

import pytest

import marvolenti

# build/python/marvolenti/__init__.py: the build directory is three levels up.
BUILD = pathlib.Path(os.environ.get("MARVOLENTI_BUILD",
                                    pathlib.Path(marvolenti.__file__).resolve().parents[2]))
ENERGY_PATTERN = r"\d\d\d\d_\d\deV"


@pytest.fixture(scope="session")
def sample(tmp_path_factory):
    """The sample data set of 48 x 48 pixels, with its HDF5 copies."""
    folder = tmp_path_factory.mktemp("sample")
    subprocess.run([str(BUILD / "makesampledata"), str(folder), "--size", "48",
                    "--energies", "120", "--h5"], check=True, capture_output=True)
    return folder


def files(folder, stack):
    return sorted(str(p) for p in (folder / stack).glob("*.tif"))


def references(folder):
    return [str(folder / "ref_FeA_7112.dat"), str(folder / "ref_FeB_7117.dat")]


def run_program(folder, lines):
    """Runs the program headless on a batch file of these lines; returns its debug output."""
    script = folder / "script.bat"
    script.write_text("\n".join(lines + ["quit"]) + "\n")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run([str(BUILD / "marvolenti"), "-e", "-b", str(script), "-x"],
                          env=env, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    return done.stderr


def load_lines(sample):
    return [f"set_i1_energy_pattern {ENERGY_PATTERN}",
            f"set_i0_energy_pattern {ENERGY_PATTERN}",
            f'load_I1_files_of_pattern new "{sample}/I1/" *.tif',
            f'load_I0_files_of_pattern new "{sample}/I0/" *.tif']
