# SPDX-License-Identifier: GPL-3.0-or-later
# Shared helpers of the Python tests: the program's batch run read back, and
# bitwise equality of float arrays.
import os
import pathlib
import subprocess

import numpy as np
import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]


def batch_binary():
    """The program whose batch runs the module is held to: the one CTest names (none when the
    tree has no program: another tree's may come from another compiler), else build/tamrel."""
    path = os.environ.get("TAMREL_BINARY", str(ROOT / "build" / "tamrel"))
    return path if path and os.access(path, os.X_OK) else None


def run_batch(args, tmp_path):
    """The final state of `tamrel --batch ARGS --out FILE`: (run line fields, columns by name)."""
    binary = batch_binary()
    if binary is None:
        pytest.skip("the program is not built")
    out = tmp_path / "final.csv"
    done = subprocess.run([binary, "--batch", *args, "--out", str(out)], capture_output=True, text=True)
    assert done.returncode == 0, done.stdout + done.stderr
    lines = out.read_text().splitlines()
    run = dict(field.split("=", 1) for field in lines[0].lstrip("# ").split())
    names = lines[1].split(",")
    rows = [[float(v) for v in line.split(",")] for line in lines[2:]]
    columns = {name: np.array([row[k] for row in rows]) for k, name in enumerate(names)}
    return run, columns


def assert_same_bits(a, b, what):
    a = np.ascontiguousarray(a, dtype=np.float64)
    b = np.ascontiguousarray(b, dtype=np.float64)
    assert a.shape == b.shape, what
    differ = np.flatnonzero(a.view(np.uint64) != b.view(np.uint64))
    assert differ.size == 0, "%s differs first in cell %d: %r against %r" % (
        what, differ[0] + 1, a[differ[0]], b[differ[0]])
