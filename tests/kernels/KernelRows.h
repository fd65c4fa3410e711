#pragma once
// Scheme-table rows for the kernels of this test folder, built here so the
// tests link only the entry points they call.

#include "kernels/SchemeTable.h"

namespace tamrel::testing {

inline kernels::SchemeInfo sorviRow()
{
    kernels::SchemeInfo s{"Sorvi", kernels::EntryKind::Sorvi, true, 200, false, false, false};
    s.sorvi = &SORVI;
    return s;
}

inline kernels::SchemeInfo lentorRow()
{
    kernels::SchemeInfo s{"Lentor32", kernels::EntryKind::Lentor, true, 200, false, true, false};
    s.lentor = &LENTOR32;
    return s;
}

} // namespace tamrel::testing
