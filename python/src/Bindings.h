// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts of the module _tamrel, each adding its classes and functions.

#include <pybind11/pybind11.h>

namespace tamrel::python {

void bindResults(pybind11::module_& m);
void bindSession(pybind11::module_& m);
void bindRiemann(pybind11::module_& m);

} // namespace tamrel::python
