// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sheets/SheetGrade.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "common/Format.h"

namespace tamrel::sheets {

namespace {

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    // A difference as the hint states it: three figures are plenty.
    std::string gap(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.3g", std::abs(v));
        return buf;
    }

    std::string cells(double width, double dx)
    {
        return dx > 0 ? " (" + gap(width / dx) + " cells)" : "";
    }

    const char* const kFinerOrBetter = "more cells or a higher-order scheme";

    std::string frontHint(const CheckResult& r, double d)
    {
        const Check& c = *r.check;
        std::string where;
        if (r.direction != 0)
            where = d * r.direction > 0 ? " ahead of" : " behind";
        else
            where = d > 0 ? " to the right of" : " to the left of";
        std::string advice = kFinerOrBetter;
        if (c.wave == Wave::Interface)
            advice = "the two-fluid scheme carries the interface with the flow: look at the velocity";
        else if (std::abs(d) > 0.1)
            advice = "is it the wave the sheet means? Compare with the exact solution";
        return "the " + std::string(waveName(c.wave)) + " is " + gap(d) + where + " the expected position "
            + num(c.expected) + cells(std::abs(d), r.cellWidth) + ": " + advice;
    }

    std::string widthHint(const CheckResult& r)
    {
        const Check& c = *r.check;
        const std::string wave = waveName(c.wave);
        const std::string spread
            = "the " + wave + " is spread over " + num(r.measured) + cells(r.measured, r.cellWidth);
        if (!c.widthExpected)
            return spread + ", " + gap(r.measured - c.tolerance)
                + " more than allowed: more cells or a less diffusive, higher-order scheme keeps it sharper";
        const double d = r.measured - c.expected;
        if (d > 0)
            return spread + ", " + gap(d) + " wider than expected: more cells or a higher-order scheme";
        return spread + ", " + gap(d) + " narrower than expected: is the run on the sheet's scheme and grid?";
    }

} // namespace

bool SheetGrade::pass() const
{
    if (cancelled)
        return false;
    const auto passed = [](const auto& r) { return r.pass; };
    return std::all_of(checks.begin(), checks.end(), passed)
        && std::all_of(answers.begin(), answers.end(), passed);
}

std::optional<double> ReadAnswer(const std::string& typed)
{
    std::string t = typed;
    if (t.find('.') == std::string::npos && std::count(t.begin(), t.end(), ',') == 1)
        std::replace(t.begin(), t.end(), ',', '.');
    return parseNumber(t);
}

AnswerResult GradeAnswer(
    const LabSheet& sheet, std::size_t q, const std::string& typed, const std::vector<CheckResult>& checks)
{
    AnswerResult a;
    a.question = q;
    a.typed = typed;
    a.reference = kNaN;
    const NumericAnswer& want = *sheet.questions.at(q).answer;
    a.tolerance = want.tolerance;
    a.exact = want.exact.has_value();
    std::string unmeasured;
    if (want.exact) {
        a.reference = *want.exact;
    } else if (want.check < checks.size()) {
        a.reference = checks[want.check].measured;
        unmeasured = checks[want.check].note;
    }
    a.given = ReadAnswer(typed);
    if (!a.given) {
        const bool blank = typed.find_first_not_of(" \t\r\n") == std::string::npos;
        a.note = blank ? "no answer" : "\"" + typed + "\" is not a number";
        return a;
    }
    if (!std::isfinite(a.reference)) {
        a.note = "the lab could not measure it" + (unmeasured.empty() ? "" : ": " + unmeasured);
        return a;
    }
    const double d = *a.given - a.reference;
    a.pass = std::abs(d) <= a.tolerance;
    if (!a.pass)
        a.note = gap(d) + (d > 0 ? " above " : " below ")
            + (a.exact ? "the exact value" : "what the lab measures on the sheet's run");
    return a;
}

SheetGrade GradeSheet(const LabSheet& sheet, const ReadyRecords& ready, const compare::PrepareStudyRun& prepare,
    int threads, const std::vector<std::string>* answers, const std::atomic<bool>* cancel,
    const SheetProgress& progress)
{
    SheetGrade g;
    g.checks = RunSheetChecks(sheet, ready, prepare, threads, cancel, progress);
    g.cancelled = cancel && cancel->load();
    if (g.cancelled || !answers)
        return g;
    g.answersGiven = true;
    for (std::size_t q = 0; q < sheet.questions.size(); ++q)
        if (sheet.questions[q].answer)
            g.answers.push_back(GradeAnswer(sheet, q, q < answers->size() ? (*answers)[q] : "", g.checks));
    return g;
}

std::string CheckHint(const CheckResult& r)
{
    if (r.pass || !r.check)
        return {};
    const Check& c = *r.check;
    if (!std::isfinite(r.measured))
        return "nothing was measured" + (r.note.empty() ? std::string() : ": " + r.note);
    const double d = r.measured - c.expected;
    switch (c.kind) {
    case CheckKind::L1:
        return "the L1 density error is " + num(r.measured) + ", " + gap(r.measured / c.tolerance)
            + " times the most allowed: " + kFinerOrBetter;
    case CheckKind::Value:
        return "the " + std::string(variableName(c.variable)) + " is " + gap(d) + (d > 0 ? " above" : " below")
            + " the expected " + num(c.expected) + ": " + kFinerOrBetter
            + (c.variable == Variable::Fraction ? "" : ", or compare with the exact solution there");
    case CheckKind::Front:
        return frontHint(r, d);
    case CheckKind::Width:
        return widthHint(r);
    case CheckKind::Volume:
        return "the fluid-2 volume is " + gap(d) + (d > 0 ? " above" : " below") + " the expected "
            + num(c.expected)
            + ": fluid 2 leaves or enters the tube, or the scheme does not conserve it; look at the boundaries";
    case CheckKind::Order:
        return "the fitted order " + num(r.measured) + " is " + gap(c.minOrder - r.measured)
            + " below the least allowed " + num(c.minOrder)
            + ": finer grids in the ladder, or a scheme of higher order (see the order of each step in a "
              "convergence study)";
    }
    return {};
}

std::string AnswerLine(const AnswerResult& a)
{
    std::string line = std::string(a.pass ? "PASS" : "FAIL") + "  question " + std::to_string(a.question + 1)
        + "  answer=" + (a.given ? num(*a.given) : "\"" + a.typed + "\"") + (a.exact ? "  exact=" : "  measured=")
        + num(a.reference) + "  tolerance=" + num(a.tolerance);
    if (!a.note.empty())
        line += "  (" + a.note + ")";
    return line;
}

} // namespace tamrel::sheets
