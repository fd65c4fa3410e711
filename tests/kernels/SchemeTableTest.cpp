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
