// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Functions whose loops run many cells through each instruction are built
// three times: for AVX-512, for AVX2 and for the baseline processor, the body
// inlined whole into each copy. A call runs the widest copy the processor
// runs. The copies compute the same numbers (no multiply and add is fused, and
// every loop is exact in any order it is split into), only more cells go
// through each instruction; the tests hold them to one another by choosing
// the copy a call runs.
//
//     TAMREL_VECTOR_COPIES(float, stripWidest, (const Io& io, float* w), (io, w), stripBody)
//
// defines stripWidest(io, w), which returns stripBody(io, w) in the copy
// vectorCopy() picks, and the copies stripWidestAvx512, stripWidestAvx2 and
// stripWidestBaseline.

namespace tamrel {

enum class VectorCopy : int { Avx512, Avx2, Baseline };

// The copy the calls run: the widest this processor runs, or the one chosen.
VectorCopy vectorCopy();

// Whether this processor runs `copy`.
bool processorRuns(VectorCopy copy);

// From now on the calls run `copy`, which the processor must run (a test
// holding the copies to one another chooses each in turn). resetVectorCopy
// returns to the widest.
void chooseVectorCopy(VectorCopy copy);
void resetVectorCopy();

} // namespace tamrel

#if defined(__x86_64__) && !defined(__clang__)
#define TAMREL_COPY_FOR(isa) gnu::target(isa), gnu::flatten
#else
// Clang cannot inline a baseline body into a function built for a wider
// processor under flatten, and other processors lack these units: every copy
// is the baseline one there.
#define TAMREL_COPY_FOR(isa) gnu::flatten
#endif

#define TAMREL_VECTOR_COPIES(Ret, name, Params, Args, body)                                                       \
    [[TAMREL_COPY_FOR("avx512f")]] Ret name##Avx512 Params                                                        \
    {                                                                                                             \
        return body Args;                                                                                         \
    }                                                                                                             \
    [[TAMREL_COPY_FOR("avx2")]] Ret name##Avx2 Params                                                             \
    {                                                                                                             \
        return body Args;                                                                                         \
    }                                                                                                             \
    [[gnu::flatten]] Ret name##Baseline Params                                                                    \
    {                                                                                                             \
        return body Args;                                                                                         \
    }                                                                                                             \
    Ret name Params                                                                                               \
    {                                                                                                             \
        switch (::tamrel::vectorCopy()) {                                                                         \
        case ::tamrel::VectorCopy::Avx512:                                                                        \
            return name##Avx512 Args;                                                                             \
        case ::tamrel::VectorCopy::Avx2:                                                                          \
            return name##Avx2 Args;                                                                               \
        case ::tamrel::VectorCopy::Baseline:                                                                      \
            break;                                                                                                \
        }                                                                                                         \
        return name##Baseline Args;                                                                               \
    }
