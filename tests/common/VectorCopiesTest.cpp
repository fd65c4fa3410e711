// SPDX-License-Identifier: GPL-3.0-or-later
// The tests that hold the vector copies to one another run each copy by
// choosing it: a choice that did not take would let them compare the widest
// copy with itself.

#include <gtest/gtest.h>

#include "common/VectorCopies.h"

namespace tamrel {
namespace {

    TEST(VectorCopies, ACopyChosenIsTheOneRunUntilReset)
    {
        const VectorCopy widest = vectorCopy();
        EXPECT_TRUE(processorRuns(widest));
        EXPECT_TRUE(processorRuns(VectorCopy::Baseline));
        for (VectorCopy copy : { VectorCopy::Avx512, VectorCopy::Avx2, VectorCopy::Baseline }) {
            if (!processorRuns(copy))
                continue;
            chooseVectorCopy(copy);
            EXPECT_EQ(vectorCopy(), copy);
        }
        resetVectorCopy();
        EXPECT_EQ(vectorCopy(), widest);
    }

} // namespace
} // namespace tamrel
