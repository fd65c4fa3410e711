// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An array with explicit lower and upper bounds, as the experiment state
// describes its grids: a field may run from -6 to N+7, a history from 0.
// Allocation gives fresh zeroed storage, untouched until written (a large
// history costs nothing until its rows are stored); resizeKeep preserves the
// elements whose index is still in range.

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <stdexcept>

#include "common/ZeroedBlock.h"

namespace tamrel {

template <class T> class BoundedArray {
public:
    BoundedArray() = default;
    BoundedArray(long lower, long upper) { allocate(lower, upper); }

    // Fresh storage, every element zero. upper < lower gives an empty array.
    void allocate(long lower, long upper)
    {
        lower_ = lower;
        upper_ = upper;
        data_ = ZeroedBlock<T>(static_cast<std::size_t>(std::max(0L, upper - lower + 1)));
    }

    // New bounds; elements whose index lies in both the old and the new
    // range keep their values, the rest are zero.
    void resizeKeep(long lower, long upper)
    {
        const auto n = static_cast<std::size_t>(std::max(0L, upper - lower + 1));
        if (lower == lower_ && data_.resizeMappedKeep(n)) {
            upper_ = upper;
            return;
        }
        ZeroedBlock<T> fresh(n);
        const long from = std::max(lower, lower_);
        const long to = std::min(upper, upper_);
        if (from <= to && !data_.empty())
            ZeroedBlock<T>::copyNonZero(fresh.data() + (from - lower), data_.data() + (from - lower_),
                static_cast<std::size_t>(to - from + 1));
        data_.swap(fresh);
        lower_ = lower;
        upper_ = upper;
    }

    void release()
    {
        data_ = ZeroedBlock<T>();
        lower_ = 0;
        upper_ = -1;
    }

    long lower() const { return lower_; }
    long upper() const { return upper_; }
    long size() const { return static_cast<long>(data_.size()); }
    bool empty() const { return data_.empty(); }
    bool contains(long i) const { return i >= lower_ && i <= upper_ && !data_.empty(); }

    T& operator[](long i)
    {
        assert(contains(i));
        return data_.data()[i - lower_];
    }
    const T& operator[](long i) const
    {
        assert(contains(i));
        return data_.data()[i - lower_];
    }
    // Bounds-checked access for code that handles outside input.
    T& at(long i)
    {
        if (!contains(i))
            throw std::out_of_range("BoundedArray index out of range");
        return data_.data()[i - lower_];
    }
    const T& at(long i) const { return const_cast<BoundedArray*>(this)->at(i); }

    // Address of element i, for passing a slice to a kernel.
    T* ptr(long i)
    {
        assert(contains(i));
        return data_.data() + (i - lower_);
    }
    const T* ptr(long i) const
    {
        assert(contains(i));
        return data_.data() + (i - lower_);
    }

    void fill(const T& v) { std::fill(data_.data(), data_.data() + data_.size(), v); }

private:
    long lower_ = 0;
    long upper_ = -1;
    ZeroedBlock<T> data_;
};

} // namespace tamrel
