// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/ProblemDescription.h"

#include "common/Format.h"

namespace tamrel {

namespace {

    constexpr std::string_view kSep = ",     "; // between values on one line
    constexpr std::string_view kWideSep = ",       "; // before the date/name column
    constexpr std::string_view kLineBreak = "\r\n";

    std::string F(double v)
    {
        return formatPattern(v, "####0.0#####");
    }

    // An entry of a control-cell or grid array; a missing one reads as 0 so a
    // table shorter than the layout expects cannot be read past its end.
    template <class T> double entry(const BoundedArray<T>& a, long i)
    {
        return a.contains(i) ? static_cast<double>(a[i]) : 0.0;
    }

    // X at the cell number held in MSelected entry k: the left edge of that cell.
    double edgeOfSelected(const ExperimentState& s, long k)
    {
        if (!s.MSelected.contains(k))
            return 0.0;
        return entry(s.X, s.MSelected[k]);
    }

    // The grid's value in cell 1 or cell N.
    double leftCell(const BoundedArray<double>& a, const ExperimentState&)
    {
        return entry(a, 1);
    }
    double rightCell(const BoundedArray<double>& a, const ExperimentState& s)
    {
        return entry(a, s.NGridCells);
    }

    bool hasTransverseVelocity(const ExperimentState& s)
    {
        return leftCell(s.VY, s) != 0 || rightCell(s.VY, s) != 0;
    }

    // "Name = value" appended after a separator.
    void field(std::string& out, std::string_view sep, std::string_view name, double v)
    {
        out += sep;
        out += name;
        out += F(v);
    }

} // namespace

std::optional<std::string> ApplyTitleAnswer(ExperimentState& s, std::optional<std::string_view> reply)
{
    if (!reply || reply->empty())
        return std::nullopt;
    s.IDAndTitle = std::string(*reply);
    s.TitleEntered = 1;
    return s.IDAndTitle;
}

bool isTitleLabelFree(const ExperimentState& s, std::string_view currentCaption)
{
    return currentCaption == s.TitleText || s.TitleEntered == 0;
}

std::string ShockTubeDescriptionText(
    const ExperimentState& s, const ShockTubeTest& t, std::string_view date, std::string_view time)
{
    std::string out = "RhoL = " + F(t.RhoL);
    field(out, kSep, "PL = ", t.PL);
    field(out, kSep, "UxL = ", t.UxL);
    field(out, kSep, "UyL = ", t.UyL);
    field(out, kSep, "XL = ", t.XL);
    field(out, kSep, "XJump = ", t.XJump);
    out += kWideSep;
    out += date;
    field(out, "       ", "Gamma = ", s.Gamma);
    out += kWideSep;
    out += kLineBreak;
    out += "RhoR = " + F(t.RhoR);
    field(out, kSep, "PR = ", t.PR);
    field(out, kSep, "UxR = ", t.UxR);
    field(out, kSep, "UyR = ", t.UyR);
    field(out, kSep, "XR = ", t.XR);
    field(out, kSep, "TStop = ", t.TStop);
    out += kWideSep;
    out += time;
    out += "    ";
    out += s.StudentName;
    return out;
}

std::string SoundWaveDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time)
{
    std::string out = "R+ amplitude = " + formatPattern(s.RPlusAmplitude, "##0.0#####");
    out += kSep;
    out += "R- amplitude = " + formatPattern(s.RMinusAmplitude, "##0.0#####");
    out += kSep;
    out += "R0 amplitude = " + formatPattern(s.R0Amplitude, "##0.0#####");
    out += kSep;
    out += "average velocity, u0 = " + formatPattern(s.U0, "###0.0####");
    out += "     ";
    out += date;
    out += "    ";
    out += time;
    out += "    ";
    out += s.StudentName;
    return out;
}

std::string ThreeStateDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time)
{
    std::string out = "RhoL = " + F(entry(s.RhoSelected, 2));
    field(out, kSep, "PL = ", entry(s.PSelected, 2));
    field(out, kSep, "UxL = ", entry(s.VXSelected, 2));
    field(out, kSep, "XJumpL = ", edgeOfSelected(s, 3));
    field(out, kSep, "RhoM = ", entry(s.RhoSelected, 4));
    field(out, kSep, "UxM = ", entry(s.VXSelected, 4));
    field(out, kSep, "Gamma = ", s.Gamma);
    out += kWideSep;
    out += date;
    out += "   ";
    out += time;
    out += kLineBreak;
    out += "RhoR = " + F(entry(s.RhoSelected, 5));
    field(out, kSep, "PR = ", entry(s.PSelected, 5));
    field(out, kSep, "UxR = ", entry(s.VXSelected, 5));
    field(out, kSep, "XJumpR = ", edgeOfSelected(s, 5));
    field(out, kSep, "PM = ", entry(s.PSelected, 4));
    field(out, kSep, "UyM = ", 0.0);
    field(out, kSep, "TStop = ", s.TStop);
    out += kWideSep;
    out += s.StudentName;
    return out;
}

std::string TwoStateDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time)
{
    std::string out = "RhoL = " + F(entry(s.RhoSelected, 2));
    field(out, kSep, "PL = ", entry(s.PSelected, 2));
    field(out, kSep, "UxL = ", entry(s.VXSelected, 2));
    const bool shear = hasTransverseVelocity(s);
    if (shear)
        field(out, kSep, "UyL = ", leftCell(s.VY, s));
    field(out, kSep, "XL = ", entry(s.X, 1));
    field(out, kSep, "XJump = ", edgeOfSelected(s, 3));
    field(out, kWideSep, "Gamma = ", s.Gamma);
    out += kWideSep;
    out += date;
    out += "   ";
    out += time;
    out += kLineBreak;
    out += "RhoR = " + F(entry(s.RhoSelected, 5));
    field(out, kSep, "PR = ", entry(s.PSelected, 5));
    field(out, kSep, "UxR = ", entry(s.VXSelected, 5));
    if (shear)
        field(out, kSep, "UyR = ", rightCell(s.VY, s));
    field(out, kSep, "XR = ", entry(s.X, s.NGridCells + 1));
    field(out, kSep, "TStop = ", s.TStop);
    out += kWideSep;
    out += s.StudentName;
    return out;
}

namespace {

    // The two end states on the grid, as "RhoL = ..., ... UxL = ..." and the
    // right twin; transverse velocities only where there are some.
    void endStates(std::string& out, const ExperimentState& s, bool leftSide)
    {
        const auto cell
            = [&](const BoundedArray<double>& a) { return leftSide ? leftCell(a, s) : rightCell(a, s); };
        const char* side = leftSide ? "L" : "R";
        out += std::string("Rho") + side + " = " + F(cell(s.Rho));
        field(out, kSep, std::string("P") + side + " = ", cell(s.P));
        field(out, kSep, std::string("Ux") + side + " = ", cell(s.VX));
        if (hasTransverseVelocity(s))
            field(out, kSep, std::string("Uy") + side + " = ", cell(s.VY));
    }

} // namespace

std::string HandMadeDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time)
{
    std::string out = "Hand-made state, " + std::to_string(s.NSelected) + " selected cells:     ";
    endStates(out, s, true);
    field(out, kWideSep, "Gamma = ", s.Gamma);
    out += kWideSep;
    out += date;
    out += "   ";
    out += time;
    out += kLineBreak;
    endStates(out, s, false);
    out += kSep;
    out += "N = " + std::to_string(s.NGridCells);
    field(out, kSep, "TStop = ", s.TStop);
    out += kWideSep;
    out += s.StudentName;
    return out;
}

std::string SetupFileDescriptionText(
    const ExperimentState& s, std::string_view fileName, std::string_view date, std::string_view time)
{
    std::string out
        = "Set-up file " + std::string(fileName) + ", " + std::to_string(s.NSelected) + " selected cells:     ";
    endStates(out, s, true);
    field(out, kWideSep, "Gamma = ", s.Gamma);
    out += kWideSep;
    out += date;
    out += "   ";
    out += time;
    out += kLineBreak;
    endStates(out, s, false);
    out += kSep;
    out += "N = " + std::to_string(s.NGridCells);
    out += kSep;
    out += "Bdrys = " + std::to_string(s.MnBdry) + ", " + std::to_string(s.MxBdry);
    field(out, kSep, "TStop = ", s.TStop);
    out += kWideSep;
    out += s.StudentName;
    return out;
}

std::optional<std::string> UpdateProblemDescriptionText(
    const ExperimentState& s, std::string_view currentCaption, std::string_view date, std::string_view time)
{
    if (s.RiemannPlots == 1) {
        if (isTitleLabelFree(s, currentCaption))
            return SoundWaveDescriptionText(s, date, time);
        return std::nullopt;
    }
    std::optional<std::string> caption;
    if (isTitleLabelFree(s, currentCaption) && s.NSelected == 6)
        caption = ThreeStateDescriptionText(s, date, time);
    // The label is tested again on what it now shows.
    const std::string_view shown = caption ? std::string_view(*caption) : currentCaption;
    if (isTitleLabelFree(s, shown) && s.NSelected == 4)
        caption = TwoStateDescriptionText(s, date, time);
    if (isTitleLabelFree(s, currentCaption) && s.NSelected != 4 && s.NSelected != 6)
        caption = HandMadeDescriptionText(s, date, time);
    return caption;
}

} // namespace tamrel
