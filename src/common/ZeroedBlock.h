// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Zeroed storage for plain numbers that costs nothing until it is written.
// A large block comes straight from the system's zero pages (an anonymous
// mapping): its pages stay untouched, and cost no memory and no time, until
// the program writes them. A history of thousands of rows therefore takes
// no time to allocate, and a run that fills only some of its rows never
// touches the rest. Small blocks come from calloc.
//
// Copies skip the parts that are zero, so a copy of a mostly unwritten
// block leaves its own pages as untouched as the original's. A mapped block
// grows or shrinks in place (the kernel moves its page tables), so a resize
// that keeps the contents reads none of the pages that were never written.
//
// WebAssembly has no mappings: there every block comes from calloc, whose
// fresh memory the runtime hands out zeroed.

#if defined(__wasi__) || defined(__EMSCRIPTEN__)
#define TAMREL_ZEROED_MAPPING 0
#else
#define TAMREL_ZEROED_MAPPING 1
#include <sys/mman.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace tamrel {

template <class T> class ZeroedBlock {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_default_constructible_v<T>,
        "a zeroed block holds plain numbers");

public:
    // Blocks of at least this many bytes are mapped from zero pages.
    static constexpr std::size_t kMappedBytes = TAMREL_ZEROED_MAPPING ? std::size_t { 1 } << 18 : ~std::size_t { 0 };

    ZeroedBlock() = default;
    explicit ZeroedBlock(std::size_t n) { reserveZeroed(n); }
    ~ZeroedBlock() { release(); }

    ZeroedBlock(const ZeroedBlock& o)
    {
        reserveZeroed(o.size_);
        copyNonZero(data_, o.data_, size_);
    }
    ZeroedBlock& operator=(const ZeroedBlock& o)
    {
        if (this != &o) {
            ZeroedBlock copy(o);
            swap(copy);
        }
        return *this;
    }
    ZeroedBlock(ZeroedBlock&& o) noexcept { swap(o); }
    ZeroedBlock& operator=(ZeroedBlock&& o) noexcept
    {
        swap(o);
        return *this;
    }

    void swap(ZeroedBlock& o) noexcept
    {
        std::swap(data_, o.data_);
        std::swap(size_, o.size_);
        std::swap(mapped_, o.mapped_);
    }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    // Gives the block n elements, the first min(n, size()) keeping their
    // values and the rest zero, without reading or copying the contents.
    // Only a mapped block that stays mapped can do so; returns false, with
    // the block unchanged, where the caller must copy instead.
    bool resizeMappedKeep(std::size_t n)
    {
#if defined(__linux__) && TAMREL_ZEROED_MAPPING
        const std::size_t bytes = n * sizeof(T);
        if (!mapped_ || bytes < kMappedBytes)
            return false;
        const std::size_t oldBytes = size_ * sizeof(T);
        if (bytes < oldBytes) {
            // The kept part of the last page must read zero past the end,
            // since a later growth hands that part back unwritten.
            const std::size_t page = pageBytes();
            const std::size_t tailEnd = std::min(oldBytes, (bytes + page - 1) / page * page);
            std::memset(reinterpret_cast<char*>(data_) + bytes, 0, tailEnd - bytes);
        }
        void* p = mremap(data_, oldBytes, bytes, MREMAP_MAYMOVE);
        if (p == MAP_FAILED)
            return false;
        data_ = static_cast<T*>(p);
        size_ = n;
        return true;
#else
        (void)n;
        return false;
#endif
    }

    // Copies n elements, leaving untouched every page-sized run of the
    // destination whose source is all zero bits (the destination must be
    // zero there already, as a fresh block is).
    static void copyNonZero(T* dst, const T* src, std::size_t n)
    {
        constexpr std::size_t kRun = 4096 / sizeof(T) > 0 ? 4096 / sizeof(T) : 1;
        static const T zeros[kRun] {};
        for (std::size_t i = 0; i < n; i += kRun) {
            const std::size_t len = std::min(kRun, n - i);
            if (std::memcmp(src + i, zeros, len * sizeof(T)) != 0)
                std::memcpy(dst + i, src + i, len * sizeof(T));
        }
    }

private:
#if TAMREL_ZEROED_MAPPING
    static std::size_t pageBytes() { return static_cast<std::size_t>(sysconf(_SC_PAGESIZE)); }
#endif

    void reserveZeroed(std::size_t n)
    {
        if (n == 0)
            return;
#if TAMREL_ZEROED_MAPPING
        const std::size_t bytes = n * sizeof(T);
        if (bytes >= kMappedBytes) {
            void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (p == MAP_FAILED)
                throw std::bad_alloc();
            data_ = static_cast<T*>(p);
            mapped_ = true;
            size_ = n;
            return;
        }
#endif
        data_ = static_cast<T*>(std::calloc(n, sizeof(T)));
        if (data_ == nullptr)
            throw std::bad_alloc();
        size_ = n;
    }

    void release() noexcept
    {
        if (data_ != nullptr) {
#if TAMREL_ZEROED_MAPPING
            if (mapped_)
                munmap(data_, size_ * sizeof(T));
            else
#endif
                std::free(data_);
        }
        data_ = nullptr;
        size_ = 0;
        mapped_ = false;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

} // namespace tamrel
