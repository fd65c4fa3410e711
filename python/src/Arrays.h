// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Values between the lab and numpy: every array handed to Python is a fresh
// copy the interpreter owns, so nothing a user does to it reaches a run, and
// nothing a run does later changes it. Arrays coming in are read once, as
// float64, into the lab's own vectors.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cstring>
#include <string>
#include <vector>

namespace tamrel::python {

namespace py = pybind11;
using Array = py::array_t<double>;

inline Array copyOf(const std::vector<double>& v)
{
    return Array(static_cast<py::ssize_t>(v.size()), v.data());
}

// Rows of equal length as one 2-D array (rows x length); `length` sets the
// width when there are no rows.
inline Array rowsOf(const std::vector<const std::vector<double>*>& rows, std::size_t length)
{
    Array a({ static_cast<py::ssize_t>(rows.size()), static_cast<py::ssize_t>(length) });
    double* out = a.mutable_data();
    for (const std::vector<double>* row : rows) {
        std::memcpy(out, row->data(), length * sizeof(double));
        out += length;
    }
    return a;
}

// A one-dimensional array of numbers from anything numpy reads as one (a
// list, a tuple, an array of any numeric type); None gives an empty vector
// when the argument may be left out.
inline std::vector<double> valuesOf(const py::handle& obj, const char* name, bool optional = false)
{
    if (obj.is_none()) {
        if (optional)
            return {};
        throw py::type_error(std::string(name) + " must be an array of numbers, not None.");
    }
    auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(obj);
    if (!a)
        throw py::type_error(std::string(name) + " must be an array of numbers.");
    if (a.ndim() != 1)
        throw py::value_error(std::string(name) + " must be one-dimensional (one value for each cell), not of "
            + std::to_string(a.ndim()) + " dimensions.");
    return std::vector<double>(a.data(), a.data() + a.size());
}

} // namespace tamrel::python
