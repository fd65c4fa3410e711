// SPDX-License-Identifier: GPL-3.0-or-later
// Debian's C++ runtime for wasm32-wasi is built without exceptions, so it has
// no __cxa_throw. The lab's Qt-free code catches nothing: it throws only when
// memory runs out or a checked index is wrong, and both end the program. Here
// a throw says what it was on standard error and traps; the page sees the trap
// as a halted run and loads the module afresh.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <typeinfo>

extern "C" {

void* __cxa_allocate_exception(std::size_t size) noexcept
{
    void* p = std::malloc(size);
    if (p == nullptr)
        __builtin_trap();
    return p;
}

void __cxa_free_exception(void* p) noexcept
{
    std::free(p);
}

[[noreturn]] void __cxa_throw(void* thrown, std::type_info* type, void (*)(void*))
{
    // Every type the lab throws derives from std::exception, at offset 0.
    const char* what = type != nullptr ? static_cast<std::exception*>(thrown)->what() : "";
    std::fprintf(stderr, "tamrel: %s\n", what);
    std::fflush(stderr);
    __builtin_trap();
}
}
