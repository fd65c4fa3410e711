# SPDX-License-Identifier: GPL-3.0-or-later
# The module runs the batch run's numbers: the same problem, scheme and
# parameters give the same final state bit for bit, with the same time and
# number of cycles.
import pytest

import tamrel
from conftest import assert_same_bits, run_batch

WAVE = dict(rplus_amplitude=0.01, rplus_wave_number=2, rminus_amplitude=0.004, rminus_wave_number=1,
            r0_amplitude=0.002, r0_wave_number=3, u0=0.3)
WAVE_ARGS = ["--sound-wave", "--wave", "0.01,2,0.004,1,0.002,3,0.3", "--cells", "64", "--periods", "1",
             "--plots-per-unit", "50"]


def sound_wave(scheme):
    s = tamrel.Session()
    s.configure(cells=64, scheme=scheme, periods=1, plots_per_unit=50)
    s.load_sound_wave(**WAVE)
    s.run()
    return s.state()


def expect_batch(state, run, columns):
    assert repr(state.time) == repr(float(run["time"]))
    assert state.cycles == int(run["cycles"])
    assert state.scheme == run["scheme"]
    for name in ("x", "rho", "p", "vx", "vy", "smoke"):
        assert_same_bits(getattr(state, name), columns[name], name)


@pytest.mark.parametrize("scheme", tamrel.SCHEMES)
@pytest.mark.parametrize("test, cells", [(1, 200), (3, 150)])
def test_shock_tube_is_the_batch_run(scheme, test, cells, tmp_path):
    state = tamrel.run_test(test, cells=cells, scheme=scheme)
    expect_batch(state, *run_batch(["--test", str(test), "--cells", str(cells), "--scheme", scheme], tmp_path))


@pytest.mark.parametrize("scheme", tamrel.SCHEMES)
def test_sound_wave_is_the_batch_run(scheme, tmp_path):
    expect_batch(sound_wave(scheme), *run_batch(WAVE_ARGS + ["--scheme", scheme], tmp_path))


def test_parameters_reach_the_run_as_the_batch_options_do(tmp_path):
    # A Courant number and a snapshot rate below the default go through the
    # boxes in the batch run's order, whatever order they are named in.
    state = tamrel.run_test(1, plots_per_unit=20, courant=0.5, cells=120, scheme="sorvi")
    expect_batch(state, *run_batch(["--test", "1", "--cells", "120", "--scheme", "Sorvi", "--courant", "0.5",
                                    "--plots-per-unit", "20"], tmp_path))


def test_a_setup_file_is_the_batch_run(tmp_path):
    maker = tamrel.Session()
    maker.configure(cells=150, courant=0.8125)
    maker.load_test(3)
    path = tmp_path / "three.tamrel"
    path.write_text(maker.setup_text())
    s = tamrel.Session()
    s.load_setup_file(path)  # a path object as well as a str
    assert s.cells == 150
    s.run()
    expect_batch(s.state(), *run_batch(["--setup", str(path)], tmp_path))
