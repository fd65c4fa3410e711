// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/report/ReportHtml.h"

#include "common/Format.h"

namespace tamrel::report {

namespace {

    std::string num(double v)
    {
        return formatPattern(v, "#0.0#####");
    }

    std::string boundaryName(Long code)
    {
        switch (code) {
        case 1:
            return "1 (reflecting)";
        case 2:
            return "2 (continuation)";
        case 4:
            return "4 (periodic)";
        default:
            return std::to_string(code);
        }
    }

    // Line breaks of a description (CR LF as the label has them) kept as <br>.
    std::string withBreaks(const std::string& text)
    {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r')
                continue;
            out += text[i] == '\n' ? std::string("<br>") : HtmlEscaped(std::string(1, text[i]));
        }
        return out;
    }

    void row(std::string& out, const std::string& name, const std::string& value)
    {
        out += "<tr><td>" + HtmlEscaped(name) + "</td><td>" + HtmlEscaped(value) + "</td></tr>\n";
    }

} // namespace

std::string HtmlEscaped(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> RunParameters(const ExperimentState& s)
{
    std::vector<std::pair<std::string, std::string>> p {
        { "Scheme", s.SchemeName },
        { "N Grid Cells", std::to_string(s.NGridCells) },
        { "Courant Number", num(s.CourantNumber) },
        { "Time Units to Run", num(s.Periods) },
        { "Plots / Time Unit", std::to_string(s.NPlotsPerPeriod) },
        { "Stop time", num(s.TStop) },
        { "Gamma", num(s.Gamma) },
        { "Left boundary type", boundaryName(s.MnBdry) },
        { "Right boundary type", boundaryName(s.MxBdry) },
        { "difcon", num(s.Difcon) },
        { "shkjmp", num(s.Shkjmp) },
        { "wavhaf", num(s.Wavhaf) },
    };
    if (s.RiemannPlots != 0) {
        p.push_back(
            { "R+ amplitude, wave number", num(s.RPlusAmplitude) + ", " + std::to_string(s.RPlusFrequency) });
        p.push_back(
            { "R- amplitude, wave number", num(s.RMinusAmplitude) + ", " + std::to_string(s.RMinusFrequency) });
        p.push_back({ "R0 amplitude, wave number", num(s.R0Amplitude) + ", " + std::to_string(s.R0Frequency) });
        p.push_back({ "average velocity, u0", num(s.U0) });
    }
    p.push_back({ "Time now", num(s.TimeNow) });
    p.push_back({ "Cycles", std::to_string(s.NCycle) });
    p.push_back({ "Stored states", std::to_string(s.NStoredStates) });
    return p;
}

std::string ReportHtml(const ReportContent& c)
{
    std::string out = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + HtmlEscaped(c.caption)
        + "</title></head>\n<body>\n";
    out += "<h1>Tamrel lab report</h1>\n";
    out += "<p><b>" + HtmlEscaped(c.name.empty() ? "(no name given)" : c.name) + "</b>, " + HtmlEscaped(c.date)
        + "</p>\n";
    out += "<p>" + HtmlEscaped(c.caption) + "</p>\n";
    out += "<h2>Problem: " + HtmlEscaped(c.problem) + "</h2>\n";
    if (!c.description.empty())
        out += "<p><tt>" + withBreaks(c.description) + "</tt></p>\n";
    out += "<h2>Run parameters</h2>\n<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">\n";
    for (const auto& [name, value] : c.parameters)
        row(out, name, value);
    out += "</table>\n";
    if (!c.l1.empty())
        out += "<h2>Distance from the exact solution</h2>\n<p>" + HtmlEscaped(c.l1) + "</p>\n";
    if (!c.study.empty()) {
        out += "<h2>Comparison</h2>\n<ul>\n";
        for (const std::string& line : c.study)
            out += "<li>" + HtmlEscaped(line) + "</li>\n";
        out += "</ul>\n";
    }
    for (const ReportSheet& sheet : c.sheets) {
        out += "<h2>Lab sheet: " + HtmlEscaped(sheet.title) + "</h2>\n<ol>\n";
        for (const auto& [question, answer] : sheet.questions) {
            out += "<li>" + HtmlEscaped(question) + "<br><i>Answer:</i> "
                + (answer.empty() ? std::string("(none)") : HtmlEscaped(answer)) + "</li>\n";
        }
        out += "</ol>\n";
        if (!sheet.checked) {
            out += "<p>Not checked.</p>\n";
            continue;
        }
        out += "<h3>Check results</h3>\n<ul>\n";
        for (const auto& [line, pass] : sheet.results)
            out += std::string("<li><span style=\"color:") + (pass ? "#006400" : "#b00000") + "\">"
                + HtmlEscaped(line) + "</span></li>\n";
        out += "</ul>\n";
    }
    for (const ReportPicture& p : c.pictures) {
        // The title under the picture: a page may end between them, and a
        // title left at the foot of a page would name nothing.
        out += "<p><img src=\"" + HtmlEscaped(p.source) + "\"";
        if (p.width > 0)
            out += " width=\"" + std::to_string(p.width) + "\"";
        out += " alt=\"" + HtmlEscaped(p.title) + "\"><br><i>" + HtmlEscaped(p.title) + "</i></p>\n";
    }
    out += "</body></html>\n";
    return out;
}

} // namespace tamrel::report
