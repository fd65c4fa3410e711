// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/OpenedFile.h"

#include <algorithm>
#include <cctype>

#include "common/RegularFile.h"

namespace tamrel {

namespace {

    bool endsWithJson(std::string_view name)
    {
        constexpr std::string_view kJson = ".json";
        if (name.size() < kJson.size())
            return false;
        return std::equal(kJson.begin(), kJson.end(), name.end() - kJson.size(),
            [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
    }

} // namespace

OpenedFileKind openedFileKind(std::string_view head, std::string_view name)
{
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (head.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        head.remove_prefix(kByteOrderMark.size());
    const auto first = std::find_if_not(head.begin(), head.end(),
        [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
    if (first != head.end())
        return *first == '{' ? OpenedFileKind::LabSheet : OpenedFileKind::Setup;
    return endsWithJson(name) ? OpenedFileKind::LabSheet : OpenedFileKind::Setup;
}

OpenedFileKind openedFileKind(const std::string& path)
{
    // Never blocks on a FIFO: what is no regular file is judged by its name,
    // and its reader refuses it.
    RegularFileReader file(path);
    std::string head(4096, '\0');
    if (file.isOpen()) {
        file.stream().read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, file.stream().gcount())));
    } else {
        head.clear();
    }
    return openedFileKind(head, path);
}

} // namespace tamrel
