// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "app/OpenedFile.h"

namespace tamrel {
namespace {

    // A double-clicked file is judged by what it holds, whatever its name;
    // only a file with nothing to judge by goes by its name.
    TEST(OpenedFile, TheContentsDecideBeforeTheName)
    {
        struct Case {
            std::string head;
            const char* name;
            OpenedFileKind kind;
        };
        const Case cases[] = {
            { "{\n  \"title\": \"x\"", "sheet.json", OpenedFileKind::LabSheet },
            { "  \r\n{", "renamed.txt", OpenedFileKind::LabSheet },
            { "\xEF\xBB\xBF{}", "bom", OpenedFileKind::LabSheet },
            { "NDifferenceScheme       1\r\n", "setup.txt", OpenedFileKind::Setup },
            { "NDifferenceScheme       1\r\n", "odd.json", OpenedFileKind::Setup },
            { "", "empty.JSON", OpenedFileKind::LabSheet },
            { "   ", "blank.txt", OpenedFileKind::Setup },
            { "", "no-name", OpenedFileKind::Setup },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(openedFileKind(c.head, c.name), c.kind);
        }
    }

} // namespace
} // namespace tamrel
