// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Scratch layout of the kernels: arrays carved one after another from one
// buffer (Work, or a vector of the counting type). A kernel writes its layout
// once, as a function that takes its arrays from an arena; run on an arena
// without storage the same function gives the size the layout needs, so
// the size and the pointers cannot drift apart.
//
//     template <class T> Arrays<T> carve(ScratchArena<T>& a, long L)
//     {
//         return { a.take(L + 2, 0), a.take(L + 1, 0) };
//     }
//     long size = scratchSize<float>(L, carve<float>);

#include <cstddef>

namespace tamrel::kernels {

template <class T> class ScratchArena {
public:
    // An arena without storage only measures.
    ScratchArena() = default;
    explicit ScratchArena(T* base)
        : base_(base)
    {
    }

    // The next `count` values, as an array whose index `first` is its first
    // element.
    T* take(long count, long first = 0)
    {
        T* a = base_ == nullptr ? nullptr : base_ + used_ - first;
        used_ += count;
        return a;
    }
    long used() const { return used_; }

private:
    T* base_ = nullptr;
    long used_ = 0;
};

// Values a layout takes for a strip of L cells.
template <class T, class Layout> inline long scratchSize(long L, Layout layout)
{
    ScratchArena<T> measure;
    (void)layout(measure, L);
    return measure.used();
}

// Equal slots: slot s is an array of n + 1 values (n cells and one more edge),
// for kernels that name their arrays by an enum.
template <class T> struct SlotScratch {
    T* base;
    int n;
    T* operator[](int s) const { return base + static_cast<std::ptrdiff_t>(s) * (n + 1); }
};

} // namespace tamrel::kernels
