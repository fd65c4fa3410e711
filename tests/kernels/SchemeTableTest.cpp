// SPDX-License-Identifier: GPL-3.0-or-later
// The scheme table: names found in any letter case, and rows that say what
// their entries are.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "kernels/KernelRows.h"

namespace tamrel::testing {
namespace {

    TEST(SchemeTable, FindsANameInAnyLetterCaseAndNothingElse)
    {
        const struct {
            const char* typed;
            const char* found; // nullptr: no scheme
        } cases[] = {
            { "Orvane32", "Orvane32" },
            { "orvane32", "Orvane32" },
            { "ORVANE", "Orvane" },
            { "mIxTaL32", "Mixtal32" },
            { "Orvane3", nullptr },
            { "Orvane32 ", nullptr },
            { "", nullptr },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.typed);
            const kernels::SchemeInfo* s = kernels::findScheme(c.typed);
            if (c.found == nullptr) {
                EXPECT_EQ(s, nullptr);
            } else {
                ASSERT_NE(s, nullptr);
                EXPECT_EQ(s->name, c.found);
            }
        }
        EXPECT_TRUE(kernels::twoFluidScheme("MIXTAL32"));
        EXPECT_FALSE(kernels::twoFluidScheme("Orvane"));
        EXPECT_FALSE(kernels::twoFluidScheme("no scheme"));
        EXPECT_TRUE(kernels::dropsSmoke("sorvi"));
        EXPECT_FALSE(kernels::dropsSmoke("Lentor32"));
        EXPECT_FALSE(kernels::dropsSmoke("no scheme"));
    }

    // Every row (the tests' own included) can run and count in its own
    // precision, has a name no other row has in any letter case, and reads no
    // more ghost cells than the lab gives it.
    // The phrase of help and refusals, for tables of any length: a row added
    // to the table joins the sentence without a comma after the last.
    TEST(SchemeTable, NamesPhraseListsEveryRowInOrder)
    {
        kernels::SchemeInfo rows[]
            = { kernels::allSchemes()[0], kernels::allSchemes()[0], kernels::allSchemes()[0] };
        rows[0].name = "Ab";
        rows[1].name = "Cd32";
        rows[2].name = "Ef";
        const struct {
            std::size_t count;
            const char* phrase;
        } cases[] = { { 0, "" }, { 1, "Ab" }, { 2, "Ab or Cd32" }, { 3, "Ab, Cd32 or Ef" } };
        for (const auto& c : cases)
            EXPECT_EQ(kernels::schemeNamesPhrase(std::span(rows, c.count)), c.phrase) << c.count;
        EXPECT_EQ(kernels::schemeNamesPhrase(rows, " and "), "Ab, Cd32 and Ef");
        for (const kernels::SchemeInfo& row : kernels::allSchemes())
            EXPECT_NE(kernels::schemeNamesPhrase().find(row.name), std::string::npos) << row.name;
    }

    TEST(SchemeTable, EveryRowIsComplete)
    {
        std::set<std::string> names;
        for (const kernels::SchemeInfo& row : kernelRows()) {
            SCOPED_TRACE(std::string(row.name));
            EXPECT_TRUE(row.runnable());
            withPrecision(row, [&]<class Real>() { EXPECT_NE(row.entry<Real>().count, nullptr); });
            std::string lower(row.name);
            for (char& ch : lower)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            EXPECT_TRUE(names.insert(lower).second);
            EXPECT_GE(row.ghostCells, 1);
            EXPECT_LE(row.ghostCells, 6);
            EXPECT_GE(row.longestStrip, 1);
        }
    }

} // namespace
} // namespace tamrel::testing
