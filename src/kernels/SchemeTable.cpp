#include "kernels/SchemeTable.h"

#include <array>

namespace tamrel::kernels {

namespace {
const std::array<SchemeInfo, 5> kSchemes{{
    {"Orvane", EntryKind::Orvane64, false, 100, true, true, false, &ORVANE64},
    {"Orvane32", EntryKind::Orvane32, true, 200, true, true, false, nullptr, &ORVANE32},
    {"Lentor32", EntryKind::Lentor, true, 200, false, true, false, nullptr, nullptr, &LENTOR32},
    {"Mixtal32", EntryKind::Mixtal, true, 4096, true, true, true, nullptr, nullptr, nullptr, &MIXTAL},
    {"Sorvi", EntryKind::Sorvi, true, 200, false, false, false, nullptr, nullptr, nullptr, nullptr, &SORVI},
}};
} // namespace

const SchemeInfo* findScheme(std::string_view name)
{
    for (const auto& s : kSchemes)
        if (s.name == name)
            return &s;
    return nullptr;
}

std::span<const SchemeInfo> allSchemes() { return kSchemes; }

} // namespace tamrel::kernels
