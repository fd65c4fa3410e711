// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/StudyPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tamrel::compare {

namespace {

    constexpr std::array<std::array<int, 3>, 5> kSchemeColours { {
        { 0, 90, 200 }, // blue
        { 210, 60, 20 }, // red
        { 20, 150, 60 }, // green
        { 150, 50, 170 }, // purple
        { 220, 150, 0 }, // amber
    } };
    constexpr std::array<int, 3> kInk { 0, 0, 0 };
    constexpr std::array<int, 3> kReference { 120, 120, 120 };

    std::string fixed(double v, int digits)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.*f", digits, v);
        return buf;
    }

    std::string powerOfTen(int e)
    {
        return "1e" + std::to_string(e);
    }

    std::vector<std::string> schemesOf(const StudyResult& r)
    {
        std::vector<std::string> names;
        for (const StudyRow& row : r.rows)
            if (std::find(names.begin(), names.end(), row.scheme) == names.end())
                names.push_back(row.scheme);
        return names;
    }

    bool usable(double e)
    {
        return std::isfinite(e) && e > 0;
    }

    std::string xmlEscaped(const std::string& s)
    {
        std::string out;
        for (char c : s) {
            if (c == '&')
                out += "&amp;";
            else if (c == '<')
                out += "&lt;";
            else if (c == '>')
                out += "&gt;";
            else
                out += c;
        }
        return out;
    }

    std::string rgbText(const std::array<int, 3>& c)
    {
        return "rgb(" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) + ")";
    }

} // namespace

PlotPoint LogLogFrame::map(double cells, double error) const
{
    const double fx = (std::log10(cells) - x0) / (x1 - x0);
    const double fy = (std::log10(error) - y0) / (y1 - y0);
    return { left + fx * (right - left), bottom - fy * (bottom - top) };
}

LogLogFrame StudyFrame(const StudyResult& r, int width, int height)
{
    LogLogFrame f;
    f.left = 90;
    f.top = 40;
    f.right = width - 30.0;
    f.bottom = height - 60.0;
    double nmin = std::numeric_limits<double>::infinity(), nmax = -nmin, emin = nmin, emax = -nmin;
    for (const StudyRow& row : r.rows) {
        nmin = std::min(nmin, static_cast<double>(row.cells));
        nmax = std::max(nmax, static_cast<double>(row.cells));
        const double e = row.orderError(r.kind);
        if (usable(e)) {
            emin = std::min(emin, e);
            emax = std::max(emax, e);
        }
    }
    if (!(nmin < nmax)) {
        nmin = 10;
        nmax = 1000;
    }
    if (!(emin <= emax)) {
        emin = 1e-3;
        emax = 1;
    }
    // Room above the data for the reference lines and the legend.
    const double xs = std::log10(nmax) - std::log10(nmin);
    f.x0 = std::log10(nmin) - 0.06 * xs;
    f.x1 = std::log10(nmax) + 0.06 * xs;
    const double ys = std::max(std::log10(emax) - std::log10(emin), 0.5);
    f.y0 = std::log10(emin) - 0.1 * ys;
    f.y1 = std::log10(emax) + 0.45 * ys;
    return f;
}

StudyPlotDrawing LayOutStudyPlot(const StudyResult& r, int width, int height)
{
    StudyPlotDrawing d;
    d.width = width;
    d.height = height;
    const LogLogFrame f = StudyFrame(r, width, height);

    // Frame.
    d.lines.push_back({ { { f.left, f.top }, { f.right, f.top }, { f.right, f.bottom }, { f.left, f.bottom },
                            { f.left, f.top } },
        kInk, 1, false, false });
    // x ticks at the ladder's grid sizes.
    std::vector<long> ladder;
    for (const StudyRow& row : r.rows)
        if (std::find(ladder.begin(), ladder.end(), row.cells) == ladder.end())
            ladder.push_back(row.cells);
    for (long n : ladder) {
        const double x = f.map(static_cast<double>(n), 1).x;
        d.lines.push_back({ { { x, f.bottom }, { x, f.bottom - 6 } }, kInk, 1, false, false });
        d.texts.push_back({ { x, f.bottom + 18 }, std::to_string(n), 0, false });
    }
    // y ticks at the powers of ten inside the range.
    for (int e = static_cast<int>(std::ceil(f.y0)); e <= static_cast<int>(std::floor(f.y1)); ++e) {
        const double y = f.bottom - (e - f.y0) / (f.y1 - f.y0) * (f.bottom - f.top);
        d.lines.push_back({ { { f.left, y }, { f.left + 6, y } }, kInk, 1, false, false });
        d.texts.push_back({ { f.left - 6, y + 4 }, powerOfTen(e), -1, false });
    }
    d.texts.push_back({ { (f.left + f.right) / 2, static_cast<double>(height) - 20 }, "cells", 0, false });
    d.texts.push_back({ { 22, (f.top + f.bottom) / 2 },
        r.kind == StudyKind::Riemann ? "L1 error of the density" : "L1 error of R+, R- and entropy (sum)", 0,
        true });

    // Reference slopes from the coarsest grid, above the largest error there.
    double nmin = std::numeric_limits<double>::infinity(), nmax = 0, eTop = 0;
    for (const StudyRow& row : r.rows) {
        nmin = std::min(nmin, static_cast<double>(row.cells));
        nmax = std::max(nmax, static_cast<double>(row.cells));
    }
    for (const StudyRow& row : r.rows)
        if (row.cells == nmin && usable(row.orderError(r.kind)))
            eTop = std::max(eTop, row.orderError(r.kind));
    if (eTop > 0 && nmax > nmin) {
        const double anchor = eTop * 1.6;
        for (int q : { 1, 2 }) {
            // Up to the last grid, or to where the line leaves the frame's bottom.
            const double floor = std::pow(10.0, f.y0);
            double nEnd = nmax, end = anchor * std::pow(nmin / nmax, q);
            if (end < floor) {
                nEnd = nmin * std::pow(anchor / floor, 1.0 / q);
                end = floor;
            }
            d.lines.push_back({ { f.map(nmin, anchor), f.map(nEnd, end) }, kReference, 1, q == 1, false });
            const PlotPoint at = f.map(nEnd, end);
            d.texts.push_back({ { at.x - 4, at.y - 6 }, q == 1 ? "first order" : "second order", -1, false });
        }
    }

    // One line per scheme, and its legend entry.
    const std::vector<std::string> names = schemesOf(r);
    for (std::size_t k = 0; k < names.size(); ++k) {
        PlotPolyline line;
        line.rgb = kSchemeColours[k % kSchemeColours.size()];
        line.width = 2;
        line.markers = true;
        for (const StudyRow& row : r.rows)
            if (row.scheme == names[k] && usable(row.orderError(r.kind)))
                line.points.push_back(f.map(static_cast<double>(row.cells), row.orderError(r.kind)));
        d.lines.push_back(line);

        const double y = f.top + 18 + 18 * static_cast<double>(k);
        const double x = f.right - 230;
        d.lines.push_back({ { { x, y - 4 }, { x + 28, y - 4 } }, line.rgb, 2, false, false });
        const double q = r.fittedOrder(names[k]);
        d.texts.push_back({ { x + 36, y },
            names[k] + "  order " + (std::isfinite(q) ? fixed(q, 2) : std::string("-")), 1, false });
    }
    return d;
}

std::string StudyPlotSvg(const StudyPlotDrawing& d)
{
    std::string s
        = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\""
        + std::to_string(d.width) + "\" height=\"" + std::to_string(d.height) + "\" viewBox=\"0 0 "
        + std::to_string(d.width) + " " + std::to_string(d.height) + "\">\n";
    s += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    for (const PlotPolyline& l : d.lines) {
        if (l.points.empty())
            continue;
        s += "<polyline fill=\"none\" stroke=\"" + rgbText(l.rgb) + "\" stroke-width=\"" + fixed(l.width, 1)
            + "\"";
        if (l.dashed)
            s += " stroke-dasharray=\"6,4\"";
        s += " points=\"";
        for (const PlotPoint& p : l.points)
            s += fixed(p.x, 2) + "," + fixed(p.y, 2) + " ";
        s += "\"/>\n";
        if (l.markers)
            for (const PlotPoint& p : l.points)
                s += "<rect x=\"" + fixed(p.x - 3, 2) + "\" y=\"" + fixed(p.y - 3, 2)
                    + "\" width=\"6\" height=\"6\" fill=\"" + rgbText(l.rgb) + "\"/>\n";
    }
    for (const PlotText& t : d.texts) {
        const char* anchor = t.align < 0 ? "end" : t.align == 0 ? "middle" : "start";
        s += "<text x=\"" + fixed(t.at.x, 2) + "\" y=\"" + fixed(t.at.y, 2) + "\" font-family=\"sans-serif\" "
            + "font-size=\"13\" text-anchor=\"" + anchor + "\"";
        if (t.vertical)
            s += " transform=\"rotate(-90 " + fixed(t.at.x, 2) + " " + fixed(t.at.y, 2) + ")\"";
        // Appended piece by piece: g++ 12 warns (-Wrestrict) on a literal
        // prepended to a temporary string, ">" + xmlEscaped(...), a false
        // positive of its inlined memcpy that -Werror would stop the build on.
        s += ">";
        s += xmlEscaped(t.text);
        s += "</text>\n";
    }
    s += "</svg>\n";
    return s;
}

} // namespace tamrel::compare
