// SPDX-License-Identifier: GPL-3.0-or-later
// The lab-sheet reader under the mutation fuzzer (SheetFuzz.h says what each
// input must satisfy). A longer run of the same loop is the "fuzz" label's
// test (tests/labsheet_fuzz).

#include "SheetFuzz.h"

namespace tamrel {
namespace {

    TEST(LabSheetFuzz, MutatedSheetsAreReadOrRefusedByKey)
    {
        const testing::SheetFuzzTally t = testing::fuzzSheetReader(3000, 20261211u);
        // The mutations reach every outcome.
        EXPECT_GT(t.accepted, 0);
        EXPECT_GT(t.refused, 0);
        EXPECT_GT(t.notJson, 0);
    }

} // namespace
} // namespace tamrel
