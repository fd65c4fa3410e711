// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report/RunCaption.h"

#include "common/Format.h"

namespace tamrel::report {

std::string OneLine(const std::string& text)
{
    std::string out;
    bool blank = false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f || c == ' ') {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

std::string CaptionLine(const CaptionFacts& facts)
{
    std::string out;
    auto add = [&out](const std::string& part) {
        if (part.empty())
            return;
        if (!out.empty())
            out += ", ";
        out += part;
    };
    add(OneLine(facts.name));
    add(OneLine(facts.problem));
    std::string schemes;
    for (const std::string& s : facts.schemes)
        schemes += (schemes.empty() ? "" : " / ") + OneLine(s);
    add(schemes);
    add("t=" + formatPattern(facts.time, "#0.0####"));
    add(std::to_string(facts.cells) + (facts.cells == 1 ? " cell" : " cells"));
    return out;
}

CaptionFacts CaptionFactsOf(
    const ExperimentState& s, const std::string& problem, const std::vector<std::string>& schemes)
{
    CaptionFacts f;
    f.name = s.StudentName;
    f.problem = problem;
    f.schemes = schemes.empty() ? std::vector<std::string> { s.SchemeName } : schemes;
    f.time = s.TimeNow;
    f.cells = s.NGridCells;
    return f;
}

std::string BatchProblemName(const BatchOptions& o)
{
    if (o.setupFile) {
        const auto slash = o.setupFile->find_last_of("/\\");
        return slash == std::string::npos ? *o.setupFile : o.setupFile->substr(slash + 1);
    }
    if (o.soundWave)
        return "Sound wave";
    if (o.test)
        return "Test " + std::to_string(*o.test);
    return "Default problem";
}

} // namespace tamrel::report
