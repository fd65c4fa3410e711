// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/StudyFiles.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "common/Format.h"
#include "kernels/SchemeTable.h"

namespace tamrel {

std::string studyOrderText(double q)
{
    if (!std::isfinite(q))
        return "nan";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", q);
    return buf;
}

std::string studyRowOrderText(const compare::StudyRow& row)
{
    return studyOrderText(row.order) + (row.floored ? " (floor)" : "");
}

namespace {

    std::string flooredCells(const compare::StudyResult& r, const std::string& scheme, const char* sep)
    {
        std::string out;
        for (const compare::StudyRow* row : r.rowsOf(scheme))
            if (row->floored) {
                if (!out.empty())
                    out += sep;
                out += std::to_string(row->cells);
            }
        return out;
    }

    bool singlePrecision(const std::string& scheme)
    {
        const kernels::SchemeInfo* row = kernels::findScheme(scheme);
        return row && row->singlePrecision();
    }

} // namespace

std::string studyFitText(const compare::StudyResult& r, const std::string& scheme)
{
    std::string out = studyOrderText(r.fittedOrder(scheme));
    if (const std::string floored = flooredCells(r, scheme, ", "); !floored.empty())
        out += " (" + floored + " cells at the " + (singlePrecision(scheme) ? "single" : "double")
            + "-precision floor, not fitted)";
    return out;
}

std::string studySummaryLine(const compare::StudyResult& r, const std::string& scheme)
{
    std::string out
        = "scheme=" + scheme + " fitted_order=" + studyOrderText(r.fittedOrder(scheme)) + " step_orders=";
    const auto rows = r.rowsOf(scheme);
    for (std::size_t k = 1; k < rows.size(); ++k) {
        if (k > 1)
            out += ',';
        out += studyOrderText(rows[k]->order);
    }
    if (const std::string floored = flooredCells(r, scheme, ","); !floored.empty())
        out += " floored_cells=" + floored;
    return out;
}

bool writeStudyCsv(const compare::StudyResult& r, const std::string& path)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << (r.kind == compare::StudyKind::Riemann ? "scheme,cells,l1_rho,l1_vx,l1_p,order_rho"
                                                  : "scheme,cells,l1_rplus,l1_rminus,l1_entropy,order")
        << ",seconds,cell_updates_per_second,floored\n";
    for (const compare::StudyRow& row : r.rows) {
        char tail[96];
        std::snprintf(
            tail, sizeof tail, ",%.6f,%.0f,%d", row.seconds, row.cellUpdatesPerSecond, row.floored ? 1 : 0);
        out << row.scheme << ',' << row.cells << ',' << formatG17(row.errors[0]) << ',' << formatG17(row.errors[1]) << ','
            << formatG17(row.errors[2]) << ',' << studyOrderText(row.order) << tail << "\n";
    }
    out.close();
    return !out.fail();
}

bool endsWithSvg(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    return tail == ".svg";
}

} // namespace tamrel
