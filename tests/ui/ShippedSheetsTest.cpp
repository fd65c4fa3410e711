// SPDX-License-Identifier: GPL-3.0-or-later
// The lab sheets that ship separate what they claim to: each one passes on
// its own scheme and grid, and each of its checks fails on a clearly worse
// choice of scheme or grid.

#include <QDir>
#include <gtest/gtest.h>
#include <set>
#include <string>

#include "WindowFixture.h"
#include "app/sheets/SheetRun.h"
#include "ui/window/BatchSupport.h"
#include "ui/window/LabSheetReader.h"
#include "ui/window/LabSheetWindow.h"
#include "ui/window/SheetCheckBatch.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

std::string sheetPath(const std::string& name)
{
    return labSheetsFolder().value_or(".") + "/" + name;
}

sheets::LabSheet readShipped(const std::string& name)
{
    const LabSheetRead read = ReadLabSheet(sheetPath(name));
    EXPECT_TRUE(read.sheet) << name << ": " << read.refusal.text();
    return read.sheet.value_or(sheets::LabSheet {});
}

std::vector<sheets::CheckResult> runChecks(const sheets::LabSheet& sheet)
{
    const BatchOptions o = batchOptionsOf(sheet);
    sheets::ReadyRecords ready;
    for (const std::string& scheme : sheets::SchemesToRun(sheet)) {
        std::string why;
        auto r = batch::prepareRun(o, scheme, sheet.cells, why);
        EXPECT_TRUE(r) << why;
        if (r)
            ready.emplace(scheme, std::move(*r));
    }
    const auto refusal = sheets::CheckAgainstProblem(sheet, ready);
    EXPECT_FALSE(refusal) << refusal->text();
    const compare::PrepareStudyRun prepare
        = [&o](const std::string& scheme, long n, bool mirrored, std::string& why) {
              return batch::prepareStudyRun(o, scheme, n, mirrored, why);
          };
    return sheets::RunSheetChecks(sheet, ready, prepare, 1);
}

const char* const kShipped[] = { "shock-tube-waves.json", "near-vacuum.json", "contact-smearing.json",
    "strong-blast.json", "sound-wave-order.json", "two-fluid-slab.json" };

// Checks no choice of scheme or grid the lab offers makes fail, and why.
const std::set<std::pair<std::string, std::string>> kNoWorseChoice = {
    // The first-order scheme is the lowest order the lab has.
    { "sound-wave-order.json", "order of Sorvi (first order)" },
    // Mixtal32 alone carries fluid 2, as a block: the volume is kept to
    // rounding on any grid, and the cells either side of an edge are full or
    // empty on any grid (a coarse grid puts the edge in the wrong place,
    // which the edge checks catch).
    { "two-fluid-slab.json", "fluid-2 volume (0.5 at the start)" },
    { "two-fluid-slab.json", "fraction in the first cell inside the left edge" },
    { "two-fluid-slab.json", "fraction in the first cell outside the right edge" },
};

} // namespace

TEST(ShippedSheets, EachPassesOnItsOwnSchemeAndGridAndFailsOnAWorseOne)
{
    app();
    ASSERT_TRUE(labSheetsFolder());
    // The worse choice for each check: a scheme ("" keeps the check's own)
    // and a grid size (0 keeps the sheet's).
    const struct {
        const char* sheet;
        const char* check;
        const char* scheme;
        long cells;
    } worse[] = {
        { "shock-tube-waves.json", "shock position at t = 0.2", "Sorvi", 50 },
        { "shock-tube-waves.json", "contact position at t = 0.2", "Sorvi", 50 },
        { "shock-tube-waves.json", "pressure between the waves", "Sorvi", 50 },
        { "shock-tube-waves.json", "velocity between the waves", "Sorvi", 50 },
        { "shock-tube-waves.json", "density in the fan at t = 0.1", "Sorvi", 0 },
        { "shock-tube-waves.json", "L1 density error against the exact solution", "", 100 },
        // The sheet's tolerances once let Sorvi at 50 cells pass the density.
        { "near-vacuum.json", "density in the middle", "Sorvi", 50 },
        { "near-vacuum.json", "pressure in the middle", "Sorvi", 0 },
        { "near-vacuum.json", "velocity in the middle", "Sorvi", 50 },
        { "near-vacuum.json", "velocity in the right fan", "Sorvi", 0 },
        { "near-vacuum.json", "L1 density error against the exact solution", "Sorvi", 0 },
        { "near-vacuum.json", "L1 density error of Sorvi", "", 100 },
        { "contact-smearing.json", "contact position, Orvane", "Sorvi", 50 },
        { "contact-smearing.json", "contact position, Sorvi", "", 50 },
        { "contact-smearing.json", "contact width in x, Orvane (at most 0.015, 3 cells)", "Sorvi", 0 },
        { "contact-smearing.json", "contact width in x, Sorvi (0.08 +- 0.01, about 16 cells)", "", 100 },
        { "contact-smearing.json", "L1 density error, Orvane", "Sorvi", 0 },
        { "contact-smearing.json", "L1 density error, Sorvi", "", 100 },
        { "strong-blast.json", "left shock position", "Sorvi", 50 },
        { "strong-blast.json", "contact position", "", 100 },
        { "strong-blast.json", "right shock position", "Sorvi", 50 },
        { "strong-blast.json", "density between contact and right shock", "Sorvi", 50 },
        { "strong-blast.json", "pressure between the shocks", "Sorvi", 50 },
        { "strong-blast.json", "L1 density error against the exact solution", "Sorvi", 0 },
        { "sound-wave-order.json", "order of Orvane", "Sorvi", 0 },
        { "sound-wave-order.json", "velocity crest at the start", "", 32 },
        { "sound-wave-order.json", "velocity crest after one period, Orvane", "Sorvi", 0 },
        { "sound-wave-order.json", "velocity crest after one period, Sorvi", "", 32 },
        { "two-fluid-slab.json", "left edge of the slab", "", 50 },
        { "two-fluid-slab.json", "right edge of the slab", "", 50 },
        { "two-fluid-slab.json", "fraction in the last cell outside the left edge", "", 50 },
        { "two-fluid-slab.json", "fraction in the last cell inside the right edge", "", 50 },
        { "two-fluid-slab.json", "density contact inside the slab", "Sorvi", 50 },
        { "two-fluid-slab.json", "width in x of that density contact (at most 0.015, 3 cells)", "", 100 },
    };

    std::set<std::pair<std::string, std::string>> covered = kNoWorseChoice;
    for (const auto& w : worse)
        covered.insert({ w.sheet, w.check });
    for (const char* name : kShipped) {
        SCOPED_TRACE(name);
        const sheets::LabSheet sheet = readShipped(name);
        for (const sheets::CheckResult& r : runChecks(sheet)) {
            EXPECT_TRUE(r.pass) << sheets::CheckLine(r);
            // Every check of a shipped sheet has a worse choice it fails on,
            // or a reason it has none.
            EXPECT_TRUE(covered.count({ name, r.check->name })) << "no worse choice for: " << r.check->name;
        }
    }

    for (const auto& w : worse) {
        SCOPED_TRACE(std::string(w.sheet) + ": " + w.check);
        sheets::LabSheet sheet = readShipped(w.sheet);
        std::vector<sheets::Check> one;
        for (const sheets::Check& c : sheet.checks)
            if (c.name == w.check)
                one.push_back(c);
        ASSERT_EQ(one.size(), 1u);
        sheets::Check& c = one.front();
        if (*w.scheme) {
            if (c.kind == sheets::CheckKind::Order)
                c.schemes = { w.scheme };
            else if (!c.scheme.empty())
                c.scheme = w.scheme;
            else
                sheet.scheme = w.scheme;
        }
        if (w.cells)
            sheet.cells = w.cells;
        sheet.checks = one;
        const auto results = runChecks(sheet);
        ASSERT_EQ(results.size(), 1u);
        EXPECT_FALSE(results[0].pass) << sheets::CheckLine(results[0]);
    }
}
