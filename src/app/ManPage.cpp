// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ManPage.h"

#include "app/ProgramOptions.h"

namespace tamrel {

namespace {

    // Text as troff reads it: a backslash is an escape, a minus sign must be
    // asked for (a plain "-" may print as a hyphen), and a line that starts
    // with a dot or an apostrophe would be a request.
    std::string roff(const std::string& text)
    {
        std::string out;
        for (char c : text) {
            if (c == '\\')
                out += "\\e";
            else if (c == '-')
                out += "\\-";
            else
                out += c;
        }
        if (!out.empty() && (out.front() == '.' || out.front() == '\''))
            out = "\\&" + out;
        return out;
    }

    std::string upper(std::string text)
    {
        for (char& c : text)
            if (c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
        return text;
    }

} // namespace

std::string programManPage()
{
    const std::string version = programVersion();
    std::string page = ".TH TAMREL 1 \"\" \"tamrel " + version + "\" \"User Commands\"\n";
    page += ".SH NAME\ntamrel \\- a laboratory for one\\-dimensional gas dynamics\n";
    page += ".SH SYNOPSIS\n.B tamrel\n[\\fIoptions\\fR] [\\fIFILE\\fR]\n";
    page += ".SH DESCRIPTION\n" + roff(programSummary()) + "\n";
    page += ".PP\nWithout options the window opens and asks for the student's name. With "
            "\\fB\\-\\-batch\\fR a problem runs without a window and writes its results.\n";
    for (const OptionHelpSection& section : programOptionHelp()) {
        page.append(".SH ").append(roff(upper(section.heading))).append("\n");
        for (const OptionHelp& o : section.options) {
            page += ".TP\n";
            // Appended piece by piece: GCC 12 warns falsely on "literal" + temporary.
            if (!o.shortName.empty())
                page.append("\\fB").append(roff(o.shortName)).append("\\fR, ");
            page.append("\\fB").append(roff(o.name)).append("\\fR");
            if (!o.value.empty())
                page.append(" \\fI").append(roff(o.value)).append("\\fR");
            page.append("\n").append(roff(o.help)).append("\n");
        }
    }
    page += ".SH EXIT STATUS\n";
    std::string closing = programHelpClosing();
    for (std::size_t start = 0; start < closing.size();) {
        std::size_t end = closing.find('\n', start);
        if (end == std::string::npos)
            end = closing.size();
        page += roff(closing.substr(start, end - start)) + "\n.PP\n";
        start = end + 1;
    }
    page += ".SH FILES\n.TP\n/usr/share/tamrel/guide.md\nThe user guide (also under Help in the window).\n"
            ".TP\n/usr/share/tamrel/sheets\nLab sheets for \\fB\\-\\-check\\fR.\n";
    return page;
}

} // namespace tamrel
