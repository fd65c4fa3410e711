#include "app/ui/StudyFiles.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "app/ui/BatchSupport.h"

namespace tamrel {

std::string studyOrderText(double q)
{
    if (!std::isfinite(q))
        return "nan";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", q);
    return buf;
}

bool writeStudyCsv(const compare::StudyResult& r, const std::string& path)
{
    using batch::num17;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out << (r.kind == compare::StudyKind::Riemann ? "scheme,cells,l1_rho,l1_vx,l1_p,order_rho"
                                                  : "scheme,cells,l1_rplus,l1_rminus,l1_entropy,order")
        << ",seconds,cell_updates_per_second\n";
    for (const compare::StudyRow& row : r.rows) {
        char tail[96];
        std::snprintf(tail, sizeof tail, ",%.6f,%.0f", row.seconds, row.cellUpdatesPerSecond);
        out << row.scheme << ',' << row.cells << ',' << num17(row.errors[0]) << ',' << num17(row.errors[1]) << ','
            << num17(row.errors[2]) << ',' << studyOrderText(row.order) << tail << "\n";
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
