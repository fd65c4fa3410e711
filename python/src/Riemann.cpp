// SPDX-License-Identifier: GPL-3.0-or-later
// The exact Riemann solver on its own: the explorer's star state and waves,
// and the solution sampled at any S = (x - x0)/t, point by point or as the
// cell averages a finite-volume grid holds.

#include <pybind11/stl.h>

#include <cmath>
#include <memory>

#include "Arrays.h"
#include "Bindings.h"
#include "exact/RiemannExplorer.h"
#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::python {

namespace {
    struct Riemann {
        exact::RiemannExploration e;
        std::shared_ptr<kernels::ExactRiemann> solution;
    };

    kernels::FlowState flowOf(const py::handle& state, const char* side)
    {
        const std::vector<double> v = valuesOf(state, side);
        if (v.size() != 3 && v.size() != 4)
            throw py::value_error(std::string("The ") + side + " state is (rho, u, p) or (rho, u, p, uy), not "
                + std::to_string(v.size()) + " numbers.");
        return { v[0], v[1], v[2], v.size() == 4 ? v[3] : 0.0 };
    }

    Riemann solve(
        const py::handle& left, const py::handle& right, double gamma, double x0, double xLeft, double xRight)
    {
        const kernels::FlowState l = flowOf(left, "left"), r = flowOf(right, "right");
        if (!std::isfinite(x0) || !std::isfinite(xLeft) || !std::isfinite(xRight) || !(xLeft < x0 && x0 < xRight))
            throw py::value_error("The jump x0 lies inside the grid x_left..x_right, all finite.");
        Riemann out { exact::ExploreRiemann(l, r, gamma, x0, xLeft, xRight, 2), nullptr };
        if (!out.e.ok)
            throw py::value_error("No solution: " + out.e.reason + ".");
        out.solution = std::make_shared<kernels::ExactRiemann>(l, r, gamma);
        return out;
    }

    // rho, u, p (and uy) of the solution at every entry of `at`, shaped as
    // `at` is; `state` gives the state at one entry.
    template <class StateAt> py::tuple sampled(const py::handle& at, const char* name, StateAt state)
    {
        auto a = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(at);
        if (!a)
            throw py::type_error(std::string(name) + " must be a number or an array of numbers.");
        std::vector<py::ssize_t> shape(a.shape(), a.shape() + a.ndim());
        Array rho(shape), u(shape), p(shape), uy(shape);
        for (py::ssize_t i = 0; i < a.size(); ++i) {
            const kernels::FlowState w = state(a.data()[i]);
            rho.mutable_data()[i] = w.rho;
            u.mutable_data()[i] = w.u;
            p.mutable_data()[i] = w.p;
            uy.mutable_data()[i] = w.uy;
        }
        return py::make_tuple(rho, u, p, uy);
    }

    py::tuple speeds(const double (&s)[2])
    {
        return py::make_tuple(s[0], s[1]);
    }
} // namespace

void bindRiemann(py::module_& m)
{
    py::class_<Riemann>(m, "RiemannSolution",
        "The exact solution of one Riemann problem of the ideal gas: its star state, its waves\n"
        "and the solution anywhere. A fan's speeds are (head, tail) on the left and (tail, head)\n"
        "on the right; a shock's are its speed twice. With a vacuum between the waves the star\n"
        "values are 0 and u_star and contact_speed NaN.")
        .def_property_readonly(
            "p_star", [](const Riemann& r) { return r.e.pStar; }, "Star pressure.")
        .def_property_readonly(
            "u_star", [](const Riemann& r) { return r.e.uStar; }, "Star velocity.")
        .def_property_readonly(
            "rho_star_left", [](const Riemann& r) { return r.e.rhoStarLeft; }, "Star density left of the contact.")
        .def_property_readonly(
            "rho_star_right", [](const Riemann& r) { return r.e.rhoStarRight; },
            "Star density right of the contact.")
        .def_property_readonly(
            "vacuum", [](const Riemann& r) { return r.e.vacuum; }, "The waves leave a vacuum.")
        .def_property_readonly(
            "left_wave", [](const Riemann& r) { return std::string(r.e.leftWaveName()); },
            "'shock' or 'rarefaction'.")
        .def_property_readonly(
            "right_wave", [](const Riemann& r) { return std::string(r.e.rightWaveName()); },
            "'shock' or 'rarefaction'.")
        .def_property_readonly(
            "left_speeds", [](const Riemann& r) { return speeds(r.e.waves.left); }, "Speeds of the left wave.")
        .def_property_readonly(
            "right_speeds", [](const Riemann& r) { return speeds(r.e.waves.right); }, "Speeds of the right wave.")
        .def_property_readonly(
            "contact_speed", [](const Riemann& r) { return r.e.waves.contact; }, "Speed of the contact.")
        .def_property_readonly(
            "vacuum_speeds",
            [](const Riemann& r) { return py::make_tuple(r.e.waves.vacuumLeft, r.e.waves.vacuumRight); },
            "Speeds of the vacuum's two edges (with a vacuum).")
        .def_property_readonly(
            "x0", [](const Riemann& r) { return r.e.x0; }, "Where the jump lies at t = 0.")
        .def(
            "sample",
            [](const Riemann& r, const py::handle& s) {
                return sampled(s, "s", [&](double v) { return r.solution->sample(v); });
            },
            py::arg("s"),
            "The solution at S = (x - x0)/t (a number or an array): a tuple (rho, u, p, uy) of arrays\n"
            "shaped as s.")
        .def(
            "at",
            [](const Riemann& r, const py::handle& x, double t) {
                if (!std::isfinite(t))
                    throw py::value_error("The time must be a finite number.");
                return sampled(x, "x", [&](double v) { return r.solution->at(v, r.e.x0, t); });
            },
            py::arg("x"), py::arg("t"),
            "The solution at positions x (a number or an array) and time t: (rho, u, p, uy).")
        .def(
            "cell_averages",
            [](const Riemann& r, const py::handle& edges, double t) {
                const std::vector<double> e = valuesOf(edges, "edges");
                if (e.size() < 2)
                    throw py::value_error("Cell averages need at least two edges.");
                for (std::size_t i = 0; i < e.size(); ++i)
                    if (!std::isfinite(e[i]) || (i > 0 && !(e[i] > e[i - 1])))
                        throw py::value_error("The edges must be finite and increasing.");
                if (!std::isfinite(t))
                    throw py::value_error("The time must be a finite number.");
                std::vector<double> rho, u, p;
                for (const kernels::FlowState& w : r.solution->cellAverages(r.e.x0, t, e)) {
                    rho.push_back(w.rho);
                    u.push_back(w.u);
                    p.push_back(w.p);
                }
                return py::make_tuple(copyOf(rho), copyOf(u), copyOf(p));
            },
            py::arg("edges"), py::arg("t"),
            "Cell averages between consecutive edges at time t, as a finite-volume grid holds them:\n"
            "(rho, u, p), u and p those of the averaged mass, momentum and energy.")
        .def(
            "__repr__", [](const Riemann& r) { return "<tamrel.RiemannSolution " + RiemannKeyValues(r.e) + ">"; });

    m.def("riemann", &solve, py::arg("left"), py::arg("right"), py::arg("gamma") = 1.4, py::arg("x0") = 0.5,
        py::arg("x_left") = 0.0, py::arg("x_right") = 1.0,
        "Solve the Riemann problem of states left | right, each (rho, u, p) or (rho, u, p, uy), with\n"
        "the jump at x0 on the grid x_left..x_right. Returns a RiemannSolution; a state that is not\n"
        "positive and finite, or gamma <= 1, raises ValueError.");
}

} // namespace tamrel::python
