# SPDX-License-Identifier: GPL-3.0-or-later
# The session from Python: refusals as exceptions with the lab's reason, the
# run controls, arrays that never alias the run, snapshots, the exact
# solution, several schemes and a convergence study.
import math
import signal

import numpy as np
import pytest

import tamrel
from conftest import assert_same_bits


def blast(n=60):
    """A hand-made state: a hot slab off centre, so the two ends see it differently."""
    x = (np.arange(n) + 0.5) / n
    p = np.where(np.abs(x - 0.3) < 0.1, 10.0, 0.1)
    return dict(rho=np.ones(n), vx=np.zeros(n), p=p)


def loaded(**state):
    s = tamrel.Session()
    s.load_state(**state)
    return s


def ran(s, **parameters):
    s.configure(**parameters)
    s.run()
    return s


def running_session():
    s = tamrel.Session()
    s.load_test(1)
    s.begin()
    return s


REFUSALS = [
    # (what, call, exception, a piece of the reason)
    ("unknown scheme", lambda: tamrel.Session().set_scheme("Godunov9"), ValueError, "is not a scheme name"),
    ("unknown scheme to run_test", lambda: tamrel.run_test(1, scheme="nope"), ValueError, "is not a scheme"),
    ("no such test", lambda: tamrel.Session().load_test(9), ValueError, "There is no Test 9"),
    ("grid too large", lambda: tamrel.Session().set_cells(tamrel.MAX_CELLS + 1), ValueError, ""),
    ("grid too small", lambda: tamrel.Session().set_cells(2), ValueError, ""),
    ("arrays of different lengths", lambda: loaded(rho=np.ones(10), vx=np.zeros(9), p=np.ones(10)),
     ValueError, "differ in length"),
    ("a NaN", lambda: loaded(rho=np.r_[np.ones(9), np.nan], vx=np.zeros(10), p=np.ones(10)),
     ValueError, "finite number"),
    ("negative density", lambda: loaded(rho=np.r_[np.ones(9), -1.0], vx=np.zeros(10), p=np.ones(10)),
     ValueError, "cell 10 has density -1"),
    ("zero pressure", lambda: loaded(rho=np.ones(10), vx=np.zeros(10), p=np.zeros(10)), ValueError, "above 0"),
    ("too few cells", lambda: loaded(rho=np.ones(3), vx=np.zeros(3), p=np.ones(3)), ValueError, "not 3"),
    ("too many cells", lambda: loaded(rho=np.ones(tamrel.MAX_CELLS + 1), vx=np.zeros(tamrel.MAX_CELLS + 1),
                                      p=np.ones(tamrel.MAX_CELLS + 1)), ValueError, "not 5001"),
    ("two-dimensional array", lambda: loaded(rho=np.ones((2, 10)), vx=np.zeros(10), p=np.ones(10)),
     ValueError, "one-dimensional"),
    ("text for numbers", lambda: loaded(rho="dense", vx=np.zeros(10), p=np.ones(10)), TypeError, "numbers"),
    ("one periodic end", lambda: loaded(**blast(), left_boundary="periodic"), ValueError, "periodic too"),
    ("unknown boundary", lambda: loaded(**blast(), right_boundary="open"), ValueError, "\"open\""),
    ("boundary number 3", lambda: loaded(**blast(), right_boundary=3), ValueError, "1 (reflecting)"),
    ("boundary of the wrong kind", lambda: loaded(**blast(), left_boundary=1.5), TypeError, "boundary"),
    ("gamma 1", lambda: loaded(**blast(), gamma=1.0), ValueError, "gamma"),
    ("wave number not whole", lambda: tamrel.Session().load_sound_wave(rplus_wave_number=1.5), ValueError,
     "Get R+ Frequency: a wave number must be a whole number, not 1.5"),
    ("wave number 0", lambda: tamrel.Session().load_sound_wave(r0_wave_number=0), ValueError, "other than 0"),
    ("wave too strong", lambda: tamrel.Session().load_sound_wave(rplus_amplitude=50), ValueError, "Sound Wave refused"),
    ("unknown parameter", lambda: tamrel.run_test(1, cfl=0.5), TypeError, "unknown parameter cfl"),
    ("three threads", lambda: tamrel.Session(threads=3), ValueError, "1 or 2 threads"),
    ("load while running", lambda: running_session().load_test(2), ValueError, "Restart first"),
    ("missing set-up file", lambda: tamrel.Session().load_setup_file("/nonexistent/x.tamrel"), ValueError,
     "Cannot open"),
    ("no exact solution once the waves meet", lambda: ran(loaded(**blast()), periods=0.6).exact(), ValueError,
     "the exact solution holds until t="),
    ("compare an unknown scheme", lambda: tamrel.Session().compare(["Orvane", "Nope"]), ValueError, "Nope"),
    ("study of one grid size", lambda: tamrel.Session().convergence_study(["Orvane"], [32]), ValueError, ""),
    ("Riemann: negative density", lambda: tamrel.riemann((-1, 0, 1), (1, 0, 1)), ValueError,
     "left density must be positive"),
    ("Riemann: NaN", lambda: tamrel.riemann((1, 0, 1), (1, math.nan, 1)), ValueError, "not a finite number"),
    ("Riemann: two numbers", lambda: tamrel.riemann((1, 0), (1, 0, 1)), ValueError, "(rho, u, p)"),
]


@pytest.mark.parametrize("call, error, reason", [r[1:] for r in REFUSALS], ids=[r[0] for r in REFUSALS])
def test_bad_input_raises_with_a_one_line_reason(call, error, reason):
    with pytest.raises(error) as caught:
        call()
    message = str(caught.value)
    assert reason in message
    if error is ValueError:  # the lab's own reason, one line (a TypeError may be Python's argument list)
        assert message.strip() and "\n" not in message


def test_a_refused_request_changes_nothing():
    s = tamrel.Session()
    s.set_cells(100)
    s.load_test(1)
    before = s.state()
    with pytest.raises(ValueError):
        s.load_state(rho=np.ones(10), vx=np.zeros(10), p=np.zeros(10))
    with pytest.raises(ValueError):
        s.set_scheme("nope")
    s.run()
    assert_same_bits(s.state().rho, tamrel.run_test(1, cells=100).rho, "rho")
    assert s.scheme == before.scheme


def test_arrays_do_not_alias_the_run():
    s = tamrel.Session()
    state = blast()
    s.load_state(**state)
    state["p"][:] = 1.0  # changing the input after loading changes nothing
    first = s.state()
    assert first.p.max() == 10.0
    first.rho[:] = -5.0  # nor does changing what came out
    assert s.state().rho.min() > 0
    s.begin()
    s.tick()
    assert first.p.max() == 10.0 and first.time == 0.0  # a state taken earlier stays as it was
    history = s.snapshots()
    history.rho[:] = 0.0
    assert s.snapshots().rho.min() > 0


def test_ticks_steps_and_run_reach_the_same_bits():
    def fresh():
        s = tamrel.Session()
        s.set_cells(100)
        s.load_test(3)
        return s

    whole = fresh()
    whole.run()
    by_ticks = fresh()
    by_ticks.begin()
    while not by_ticks.tick().ended:
        pass
    by_steps = fresh()
    by_steps.begin()
    cycles = 0
    while True:
        outcome = by_steps.step()
        assert outcome.fault is None
        cycles += outcome.steps
        if outcome.ended:
            break
    assert by_ticks.cycle == whole.cycle == by_steps.cycle == cycles
    for other in (by_ticks, by_steps):
        assert other.time == whole.time
        assert_same_bits(other.state().rho, whole.state().rho, "rho")
    assert not whole.running and not whole.ready


def test_an_interrupted_run_goes_on_where_it_stopped():
    def fresh():
        s = tamrel.Session()
        s.set_cells(2000)
        s.load_test(1)
        return s

    def interrupt(signum, frame):
        raise KeyboardInterrupt

    s = fresh()
    previous = signal.signal(signal.SIGALRM, interrupt)
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.005)
        with pytest.raises(KeyboardInterrupt):
            s.run()
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)
    assert s.running and 0 < s.time < s.stop_time
    s.run()
    whole = fresh()
    whole.run()
    assert s.cycle == whole.cycle
    assert_same_bits(s.state().rho, whole.state().rho, "rho")


def test_pause_continue_and_restart():
    s = tamrel.Session()
    s.set_cells(100)
    s.load_test(1)
    s.begin()
    s.tick()
    s.pause()
    assert not s.running
    stopped_at = s.cycle
    assert s.tick().steps == 0 and s.cycle == stopped_at
    s.continue_run()
    s.run()
    assert_same_bits(s.state().rho, tamrel.run_test(1, cells=100).rho, "rho")
    s.restart()
    assert s.ready and s.time == 0 and s.cycle == 0
    s.load_test(2)  # a problem loads again after Restart


def test_snapshots_are_the_stored_rows():
    s = tamrel.Session()
    s.configure(cells=64, periods=1, plots_per_unit=20)
    s.load_sound_wave(rplus_amplitude=0.01)
    initial = s.state()
    s.run()
    h = s.snapshots()
    rows = s.stored_rows
    assert h.rho.shape == h.p.shape == h.vx.shape == (rows, 64) and h.times.shape == (rows,)
    assert rows > 10 and np.all(np.diff(h.times) > 0)
    # The history holds single-precision values.
    assert_same_bits(h.rho[0], initial.rho.astype(np.float32), "the first row")
    assert_same_bits(h.x, initial.x, "x")
    assert h.times[-1] == pytest.approx(s.time)


def test_exact_solution_and_its_l1_distances():
    s = tamrel.Session()
    s.set_cells(200)
    s.load_test(1)
    at_start = s.exact()
    assert_same_bits(at_start.rho, s.state().rho, "the initial grid is its own exact solution")
    assert at_start.l1_rho == 0
    s.run()
    e, g = s.exact(), s.state()
    dx = 1.0 / 200
    # Each distance belongs to its own field.
    for field, l1 in (("rho", e.l1_rho), ("vx", e.l1_vx), ("p", e.l1_p)):
        assert l1 == pytest.approx(np.sum(np.abs(getattr(g, field) - getattr(e, field))) * dx, rel=1e-12)
        assert 0 < l1 < 0.05
    assert e.time == s.time


def test_riemann_solver_on_its_own():
    sod = tamrel.riemann((1.0, 0.0, 1.0), (0.125, 0.0, 0.1))
    # The star state of Sod's problem (Toro, table 4.2).
    assert sod.p_star == pytest.approx(0.30313, abs=1e-5)
    assert sod.u_star == pytest.approx(0.92745, abs=1e-5)
    assert sod.rho_star_left == pytest.approx(0.42632, abs=1e-5)
    assert sod.rho_star_right == pytest.approx(0.26557, abs=1e-5)
    assert (sod.left_wave, sod.right_wave) == ("rarefaction", "shock")
    assert sod.left_speeds[0] == pytest.approx(-math.sqrt(1.4))  # the fan's head: -c_L
    assert sod.right_speeds[0] == sod.right_speeds[1] == pytest.approx(1.75216, abs=1e-5)
    rho, u, p, _ = sod.sample(np.array([[-5.0, 0.5], [1.0, 5.0]]))
    assert rho.shape == (2, 2)
    assert (rho[0, 0], rho[1, 1]) == (1.0, 0.125) and u[0, 1] == pytest.approx(sod.u_star)
    assert p[1, 0] == pytest.approx(sod.p_star)
    # Cell averages conserve what the cells held: the mass over the whole tube.
    edges = np.linspace(0, 1, 101)
    rho_avg, _, _ = sod.cell_averages(edges, 0.2)
    assert np.sum(rho_avg) / 100 == pytest.approx((1.0 + 0.125) / 2, rel=1e-12)
    x_rho, _, _, _ = sod.at(np.array([0.0, 0.99]), 0.2)
    assert list(x_rho) == [1.0, 0.125]

    vacuum = tamrel.riemann((1.0, -4.0, 0.4), (1.0, 4.0, 0.4))
    assert vacuum.vacuum and math.isnan(vacuum.u_star)
    rho, _, p, _ = vacuum.sample(0.0)
    assert rho == 0 and p == 0


def test_two_fluid_arrays_only_for_a_two_fluid_scheme():
    two = tamrel.run_test(1, cells=60, scheme="Mixtal32")
    for name in ("rho1", "p1", "rho2", "p2", "ffrac"):
        assert getattr(two, name).shape == (60,)
    assert np.all((two.ffrac >= 0) & (two.ffrac <= 1))
    one = tamrel.run_test(1, cells=60, scheme="Orvane")
    assert one.rho1 is None and one.ffrac is None


def test_boundaries_by_name_or_number():
    def run(left, right):
        s = loaded(**blast(), left_boundary=left, right_boundary=right)
        s.configure(periods=0.6)
        s.run()
        return s.state()

    periodic, reflecting = run("periodic", "periodic"), run(1, "reflecting")
    assert_same_bits(periodic.rho, run(4, 4).rho, "periodic by number")
    assert_same_bits(reflecting.rho, run("reflecting", 1).rho, "reflecting by name")
    assert not np.array_equal(periodic.rho, reflecting.rho)
    for state in (periodic, reflecting):  # neither end lets mass through
        assert np.sum(state.rho) == pytest.approx(60.0, rel=1e-12)
    outflow = run("continuation", "continuation")
    assert np.sum(outflow.rho) < 60.0 * (1 - 1e-6)


def test_side_by_side_is_each_schemes_own_run():
    s = tamrel.Session()
    s.set_cells(100)
    s.load_test(1)
    for lockstep in (False, True):
        runs = s.compare(["Orvane", "Lentor32"], lockstep=lockstep)
        assert [r.scheme for r in runs] == ["Orvane", "Lentor32"]
        for r in runs:
            assert r.finished and r.failure == ""
            alone = tamrel.run_test(1, cells=100, scheme=r.scheme)
            assert r.state.cycles == alone.cycles
            assert_same_bits(r.state.rho, alone.rho, r.scheme)


def test_convergence_study_as_arrays():
    s = tamrel.Session()
    s.configure(periods=0.5)
    s.load_sound_wave(rplus_amplitude=1e-4, u0=0.2)
    study = s.convergence_study(["Orvane", "Orvane32"], [16, 32, 64])
    assert study.kind == "sound wave" and study.error_names == ("R+", "R-", "entropy")
    assert study.schemes == ["Orvane"] * 3 + ["Orvane32"] * 3
    assert list(study.cells) == [16, 32, 64] * 2 and study.errors.shape == (6, 3)
    rows = study.rows_of("orvane")
    assert list(rows) == [0, 1, 2]
    assert math.isnan(study.order[0]) and np.all(study.order[1:3] > 2)
    assert study.fitted_orders["Orvane"] > 2
    # A Riemann problem measures rho, vx and p, at first order behind a shock.
    t = tamrel.Session()
    t.load_test(1)
    riemann = t.convergence_study(["Sorvi"], [50, 100])
    assert riemann.kind == "riemann" and riemann.error_names == ("rho", "vx", "p")
    assert 0.5 < riemann.order[1] < 1.5


def test_flop_meter():
    s = tamrel.Session()
    s.set_cells(100)
    s.set_scheme("Lentor32", meter=True)
    s.load_test(2)
    s.run()
    m = s.meter
    assert m.on and m.mflops_total > 0 and m.flops_per_cell > 0
    off = tamrel.Session()
    off.load_test(2)
    assert not off.meter.on


def test_help_shows_docstrings():
    for thing in (tamrel, tamrel.run_test, tamrel.Session, tamrel.Session.load_state, tamrel.Session.configure,
                  tamrel.Session.convergence_study, tamrel.riemann, tamrel.RiemannSolution.sample,
                  tamrel.State, tamrel.Study):
        assert thing.__doc__ and len(thing.__doc__.strip()) > 20, thing
