// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/BoxEdits.h"

#include <algorithm>
#include <optional>

#include "common/Format.h"
#include "common/Rounding.h"
#include "edit/GridParameters.h"

namespace tamrel {

namespace {

    // A box's rule: the value in force, how the box shows it, whether a typed
    // number is that value, and why a typed text is refused.
    struct Rule {
        double value;
        const char* pattern;
        std::string name; // as the reason names the box
        std::string allowed; // the allowed range, as a phrase
        bool editable = true; // the box takes entries in the present run state
        std::string locked; // why it does not, when it does not
        bool whole = false; // the box holds a whole number
    };

    std::string quoted(std::string_view text)
    {
        std::string q(1, '"');
        q += text;
        q += '"';
        return q;
    }

    const std::string kOnlyWhenReady = "can change only before a run begins (press Restart first)";

    Rule ruleOf(const ExperimentState& s, EditedBox box)
    {
        switch (box) {
        case EditedBox::GridSize: {
            const Long lowest = std::max<Long>(kMinGridCells, s.NSelected);
            return { static_cast<double>(s.NGridCells), "###0", "The number of grid cells",
                "a whole number from " + std::to_string(lowest) + " to " + std::to_string(kMaxRunGridCells),
                s.isReady(), kOnlyWhenReady, true };
        }
        case EditedBox::Periods:
            return { s.Periods, "#0.####", "The time units to run",
                "above 0, with a history of at most 1 GiB at this grid size and snapshot rate", s.isReady(),
                kOnlyWhenReady };
        case EditedBox::PlotsPerPeriod:
            return { static_cast<double>(s.NPlotsPerPeriod), "##0", "The snapshots per time unit",
                "a whole number from 1, with a history of at most 1 GiB", s.isReady(), kOnlyWhenReady, true };
        case EditedBox::CourantNumber:
            return { s.CourantNumber, "#0.0##", "The Courant number", kCourantRangeText, s.Stopped != 0,
                "cannot change while the run goes on (press Pause first)" };
        case EditedBox::MSec:
            return { static_cast<double>(s.MSec), "###0", "The milliseconds per step",
                "a whole number from " + std::to_string(s.MSecMin) + " to " + std::to_string(s.MSecMax), true, {},
                true };
        case EditedBox::StoredState:
            return { static_cast<double>(s.StoredStateShown), "###0", "The stored state number",
                "a stored row from 0 to " + std::to_string(std::max<Long>(0, s.NStoredStates - 1)), s.Stopped != 0,
                "cannot change while the run goes on (press Pause first)", true };
        case EditedBox::CellNumber:
            return { static_cast<double>(s.MCurrent), "###0", "The selected cell number",
                "a cell from 1 to " + std::to_string(s.NGridCells), true, {}, true };
        case EditedBox::Density:
            return { s.RhoCurrent, "#0.00####", "The density", "above 0", true, {} };
        case EditedBox::Pressure:
            return { s.PCurrent, "0.0000##", "The pressure",
                "at least the pressure floor " + formatGeneral(s.PFloor), true, {} };
        case EditedBox::Velocity:
            return { s.VXCurrent, "#0.00####", "The velocity", "any number", true, {} };
        }
        return { 0, "0", "", "", true, {} };
    }

} // namespace

BoxEditEnd EndBoxEdit(const ExperimentState& s, EditedBox box, std::string_view text)
{
    const Rule r = ruleOf(s, box);
    const std::string shown = formatPattern(r.value, r.pattern);
    const std::optional<double> typed = parseNumber(text);
    // The text stands for the value in force: exactly, or as the box would
    // write it (a readout rounded to the box's decimals).
    if (typed && (*typed == r.value || formatPattern(*typed, r.pattern) == shown))
        return {};
    BoxEditEnd end { false, shown, {} };
    const std::string refused = r.name + ": " + quoted(text) + " is refused; ";
    if (!r.editable)
        end.reason = r.name + " " + r.locked + ".";
    else if (!typed)
        end.reason = refused + "it is not a number. Allowed: " + r.allowed + ".";
    else if (box == EditedBox::Pressure && *typed < s.PFloor)
        end.reason = r.name + ": " + quoted(text) + " is below the pressure floor and was raised to it.";
    else
        end.reason = refused + "allowed: " + r.allowed + ".";
    end.reason += " " + r.name + " stays " + shown + ".";
    return end;
}

std::string SelectRefusal(std::string_view density, std::string_view pressure, std::string_view velocity)
{
    const struct {
        std::string_view text;
        const char* name;
    } boxes[] = { { density, "density" }, { pressure, "pressure" }, { velocity, "velocity" } };
    for (const auto& b : boxes)
        if (!parseNumber(b.text))
            return "Select refused: the " + std::string(b.name) + " " + quoted(b.text) + " is not a number.";
    if (!(*parseNumber(density) > 0))
        return "Select refused: the density must be above 0 (a cell without mass has no sound speed).";
    return {};
}

} // namespace tamrel
