# SPDX-License-Identifier: GPL-3.0-or-later
# Every notebook in notebooks/ runs top to bottom in a fresh kernel: a cell
# that raises fails the test. The notebooks are stored plain, without outputs.
import os
import pathlib

import nbclient
import nbformat
import pytest

NOTEBOOKS = sorted((pathlib.Path(__file__).resolve().parents[2] / "notebooks").glob("*.ipynb"))


def test_there_are_notebooks():
    assert NOTEBOOKS


@pytest.mark.parametrize("path", NOTEBOOKS, ids=[p.stem for p in NOTEBOOKS])
def test_notebook_runs_top_to_bottom(path):
    nb = nbformat.read(path, as_version=4)
    for cell in nb.cells:
        if cell.cell_type == "code":
            assert not cell.outputs and cell.execution_count is None, "%s is stored with outputs" % path.name
    # The kernel inherits PYTHONPATH (the module in the build tree) and draws
    # with Agg, without a display.
    env = dict(os.environ, MPLBACKEND="Agg")
    client = nbclient.NotebookClient(nb, timeout=300, kernel_name="python3",
                                     resources={"metadata": {"path": str(path.parent)}})
    client.km = client.create_kernel_manager()
    client.execute(env=env)
