// SPDX-License-Identifier: GPL-3.0-or-later
// The set-up file reader under the mutation fuzzer (setupfile/SetupFuzz.h
// says what each input must satisfy). A longer run of the same loop is the
// "fuzz" label's test (tests/setupfile_fuzz).

#include "setupfile/SetupFuzz.h"

namespace tamrel {
namespace {

    TEST(SetupFileFuzz, MutatedFilesAreRefusedOrRunnableAndWriteBackExactly)
    {
        const testing::FuzzTally t = testing::fuzzSetupReader(3000, 20240611u);
        // The mutations reach every outcome.
        EXPECT_GT(t.accepted, 0);
        EXPECT_GT(t.rebuilt, 0);
        EXPECT_GT(t.rejected, 0);
        EXPECT_EQ(t.failed, 0);
    }

} // namespace
} // namespace tamrel
