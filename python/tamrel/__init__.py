# SPDX-License-Identifier: GPL-3.0-or-later
"""Tamrel's laboratory for one-dimensional gas dynamics, from Python.

The lab's schemes, problems, exact solutions and studies, with numpy arrays in
and out:

    import tamrel
    r = tamrel.run_test(1, cells=400, scheme="Orvane")
    r.x, r.rho, r.p, r.vx        # numpy arrays of cells 1..N
    r.time, r.cycles

A Session holds one problem and its run (see help(tamrel.Session)); riemann()
solves a Riemann problem on its own. Every array handed out is a copy: nothing
done to it reaches a run. A request the lab refuses raises ValueError (or
TypeError for a value of the wrong kind) with the lab's one-line reason; a run
that fails on the way raises RunError.
"""

try:
    import numpy  # noqa: F401  (every array the module hands out is numpy's)
except ImportError as missing:
    raise ImportError("tamrel needs numpy in the interpreter that imports it (Debian: python3-numpy, "
                      "under /usr/bin/python3)") from missing

from ._tamrel import (
    MAX_CELLS,
    MIN_CELLS,
    SCHEMES,
    TESTS,
    Exact,
    Meter,
    RiemannSolution,
    RunError,
    SchemeRun,
    Snapshots,
    State,
    Study,
    TickOutcome,
    __version__,
    riemann,
)
from ._tamrel import Session as _LabSession

__all__ = [
    "MAX_CELLS", "MIN_CELLS", "SCHEMES", "TESTS", "Exact", "Meter", "RiemannSolution", "RunError",
    "SchemeRun", "Session", "Snapshots", "State", "Study", "TickOutcome", "__version__", "riemann",
    "run_test",
]

RunError.__doc__ = "A run failed or halted before its stop time (a RuntimeError with the lab's reason)."

# The order in which a batch run fills the boxes: the grid size, the scheme,
# then the run length and the snapshot rate (the rate first when it falls, so
# that the history never has to hold the longer run at the higher rate), the
# Courant number, the shock constants, the smoke streams, log plots.
_BOX_ORDER = ("cells", "scheme", "meter", "periods", "plots_per_unit", "courant", "difcon", "shkjmp",
              "wavhaf", "smoke_streams", "log_plots")


class Session(_LabSession):
    __doc__ = _LabSession.__doc__

    def configure(self, **parameters):
        """Set the grid and run parameters by name, in the order a batch run sets them.

        Names: cells, scheme, meter (True/False), periods, plots_per_unit, courant,
        difcon, shkjmp, wavhaf, smoke_streams, log_plots. A name left out or None keeps
        its value. Call it before loading the problem, as the window's boxes are
        filled before a problem is laid out on them. An unknown name raises TypeError;
        a refused value raises ValueError (the values before it are taken).
        """
        unknown = sorted(set(parameters) - set(_BOX_ORDER))
        if unknown:
            raise TypeError("unknown parameter%s %s; the parameters are %s" % (
                "s" if len(unknown) > 1 else "", ", ".join(unknown), ", ".join(_BOX_ORDER)))
        given = {k: v for k, v in parameters.items() if v is not None}
        if "cells" in given:
            self.set_cells(given["cells"])
        if "scheme" in given or "meter" in given:
            self.set_scheme(given.get("scheme", self.scheme), given.get("meter"))
        rate = given.get("plots_per_unit")
        rate_first = rate is not None and rate < self.plots_per_unit
        if rate_first:
            self.set_plots_per_unit(rate)
        if "periods" in given:
            self.set_periods(given["periods"])
        if rate is not None and not rate_first:
            self.set_plots_per_unit(rate)
        if "courant" in given:
            self.set_courant(given["courant"])
        for name in ("difcon", "shkjmp", "wavhaf"):
            if name in given:
                self.set_shock_constant(name, given[name])
        if "smoke_streams" in given:
            self.set_smoke_streams(given["smoke_streams"])
        if "log_plots" in given:
            self.set_log_plots(given["log_plots"])
        return self

    def __repr__(self):
        return "<tamrel.Session %s cells=%d time=%r cycle=%d%s>" % (
            self.scheme, self.cells, self.time, self.cycle,
            " ready" if self.ready else (" running" if self.running else " stopped"))


def run_test(test, cells=None, scheme=None, **parameters):
    """Run the shock-tube test of that number (from 1) to its stop time and return its final State.

    cells and scheme default to the lab's (tamrel.SCHEMES names the schemes); the
    other parameters are those of Session.configure (periods, plots_per_unit,
    courant, ...). The result's x, rho, p, vx, vy, smoke are numpy arrays of cells
    1..N, time and cycles numbers: the same bits as the program's batch run of the
    same test, scheme and parameters.
    """
    session = Session()
    session.configure(cells=cells, scheme=scheme, **parameters)
    session.load_test(test)
    session.run()
    return session.state()
