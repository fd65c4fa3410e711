// SPDX-License-Identifier: GPL-3.0-or-later
// The compiled half of the package tamrel: the lab session, the records it
// hands back and the Riemann solver. The package's __init__ re-exports it.

#include <pybind11/pybind11.h>

#include "Bindings.h"
#include "Results.h"
#include "edit/GridParameters.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"

PYBIND11_MODULE(_tamrel, m)
{
    namespace py = pybind11;
    using namespace tamrel;
    m.doc() = "The lab's session, its records and the exact Riemann solver (see the package tamrel).";
    py::register_exception<python::RunFault>(m, "RunError", PyExc_RuntimeError);
    python::bindResults(m);
    python::bindSession(m);
    python::bindRiemann(m);

    py::tuple schemes(kernels::allSchemes().size());
    std::size_t k = 0;
    for (const kernels::SchemeInfo& s : kernels::allSchemes())
        schemes[k++] = py::str(std::string(s.name));
    m.attr("SCHEMES") = schemes;
    m.attr("MIN_CELLS") = kMinGridCells;
    m.attr("MAX_CELLS") = kMaxRunGridCells;
    m.attr("TESTS") = kShockTubeTestCount;
    m.attr("__version__") = TAMREL_VERSION;
}
