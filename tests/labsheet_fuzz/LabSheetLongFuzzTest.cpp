// SPDX-License-Identifier: GPL-3.0-or-later
// The lab-sheet fuzz loop of tests/ui run long enough to reach rare
// mutations: several seeds of many thousand sheets each. CTest label "fuzz"
// (`ctest -L fuzz`, run by .ci/run after the other tests).

#include <cstdio>

#include "ui/SheetFuzz.h"

namespace tamrel {
namespace {

    class LongSheetFuzz : public ::testing::TestWithParam<unsigned> { };

    TEST_P(LongSheetFuzz, MutatedSheetsAreReadOrRefusedByKey)
    {
        const testing::SheetFuzzTally t = testing::fuzzSheetReader(40000, GetParam());
        std::printf("[ FUZZ    ] seed %u: %ld accepted, %ld refused, %ld not JSON\n", GetParam(), t.accepted,
            t.refused, t.notJson);
        EXPECT_GT(t.accepted, 0);
        EXPECT_GT(t.refused, 0);
    }

    INSTANTIATE_TEST_SUITE_P(Seeds, LongSheetFuzz, ::testing::Values(1u, 2u, 3u, 4u, 5u));

} // namespace
} // namespace tamrel
