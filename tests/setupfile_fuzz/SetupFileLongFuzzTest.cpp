// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up file fuzz loop of tests/setupfile run long enough to reach rare
// mutations: several seeds of many thousand inputs each. CTest label "fuzz"
// (`ctest -L fuzz`, run by .ci/run after the other tests).

#include <cstdio>

#include "setupfile/SetupFuzz.h"

namespace tamrel {
namespace {

    class LongFuzz : public ::testing::TestWithParam<unsigned> { };

    TEST_P(LongFuzz, MutatedFilesAreRefusedOrRunnableAndWriteBackExactly)
    {
        const testing::FuzzTally t = testing::fuzzSetupReader(100000, GetParam());
        std::printf("[ FUZZ    ] seed %u: %ld accepted (%ld rebuilt), %ld rejected, %ld failed silently\n",
            GetParam(), t.accepted, t.rebuilt, t.rejected, t.failed);
        EXPECT_GT(t.accepted, 0);
        EXPECT_GT(t.rebuilt, 0);
    }

    INSTANTIATE_TEST_SUITE_P(Seeds, LongFuzz, ::testing::Values(1u, 2u, 3u, 4u, 5u));

} // namespace
} // namespace tamrel
