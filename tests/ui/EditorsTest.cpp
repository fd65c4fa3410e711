// SPDX-License-Identifier: GPL-3.0-or-later
// The cell-number and value editors through the real window: each box and
// its scroll bar mirror each other once, without echo.

#include <QLineEdit>
#include <QScrollBar>
#include <string>
#include <vector>

#include "EditWindowTest.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::EditWindowTest;

namespace {

class EditorsTest : public EditWindowTest {
protected:
    // A grid whose cells all hold different values, so that the boxes show
    // which cell was loaded: Rho = 1 + i/2, P = i/4, VX = -i.
    void distinctCells()
    {
        for (long i = 0; i <= s().NGridCells + 1; ++i) {
            s().Rho[i] = 1 + i / 2.0;
            s().P[i] = i / 4.0;
            s().VX[i] = -static_cast<double>(i);
        }
    }
    std::vector<std::string> valueTexts() const
    {
        return { box(*window, "txtDensity")->text().toStdString(),
            box(*window, "txtPressure")->text().toStdString(), box(*window, "txtVelocity")->text().toStdString() };
    }
};

TEST_F(EditorsTest, TypedDensityWidensTheRangeAndMovesTheBarOnce)
{
    s().RhoMin = 0;
    s().RhoMax = 2;
    type(box(*window, "txtDensity"), "3");
    EXPECT_DOUBLE_EQ(s().RhoCurrent, 3);
    EXPECT_DOUBLE_EQ(s().RhoMax, 3.15);
    EXPECT_DOUBLE_EQ(s().RhoMin, 0);
    EXPECT_EQ(bar(*window, "hsbDensity")->value(), 9048);
    // The bar did not write its own text back into the box.
    EXPECT_EQ(box(*window, "txtDensity")->text().toStdString(), "3");
}

TEST_F(EditorsTest, MovedValueBarsWriteTheirBoxesAndStayPut)
{
    s().RhoMin = 0;
    s().RhoMax = 2;
    bar(*window, "hsbDensity")->setValue(100);
    bar(*window, "hsbDensity")->setValue(0);
    EXPECT_DOUBLE_EQ(s().RhoCurrent, 1);
    EXPECT_EQ(box(*window, "txtDensity")->text().toStdString(), "1.0");
    EXPECT_EQ(bar(*window, "hsbDensity")->value(), 0);
    EXPECT_DOUBLE_EQ(s().RhoMax, 2);

    // At the end of the bar the value reaches the range limit; the box's
    // handler widens the range by 5 % and leaves the bar at its end.
    bar(*window, "hsbDensity")->setValue(10000);
    EXPECT_EQ(box(*window, "txtDensity")->text().toStdString(), "2.0");
    EXPECT_DOUBLE_EQ(s().RhoMax, 2.1);
    EXPECT_EQ(bar(*window, "hsbDensity")->value(), 10000);

    s().VXMin = -1;
    s().VXMax = 1;
    bar(*window, "hsbVelocity")->setValue(-5000);
    EXPECT_DOUBLE_EQ(s().VXCurrent, -0.5);
    EXPECT_EQ(box(*window, "txtVelocity")->text().toStdString(), "-0.5");
    EXPECT_EQ(bar(*window, "hsbVelocity")->value(), -5000);
}

TEST_F(EditorsTest, TypedCellNumberIsRoundedHalfEvenAndLoadsTheCell)
{
    distinctCells();
    struct Case {
        const char* typed;
        Long cell;
        std::vector<std::string> shown; // density, pressure, velocity
    };
    const Case cases[] = {
        { "12.5", 12, { "7.00", "3.0000", "-12.00" } },
        { "13.5", 14, { "8.00", "3.5000", "-14.00" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        type(box(*window, "txtMSelected"), c.typed);
        EXPECT_EQ(s().MCurrent, c.cell);
        EXPECT_EQ(bar(*window, "hsbMSelected")->value(), c.cell);
        EXPECT_EQ(valueTexts(), c.shown);
        // The bar moved by the box does not rewrite the box.
        EXPECT_EQ(box(*window, "txtMSelected")->text().toStdString(), c.typed);
    }
}

TEST_F(EditorsTest, MovedCellBarShowsTheCellWithTheBarPatternsAndRepaintsOnce)
{
    distinctCells();
    // Every density paint writes the range box; emptying it after each write
    // makes every paint a change, so counting the changes counts the paints.
    int paints = 0;
    QLineEdit* rangeBox = box(*window, "txtDensityMin");
    auto empty = [rangeBox] {
        const bool blocked = rangeBox->blockSignals(true);
        rangeBox->clear();
        rangeBox->blockSignals(blocked);
    };
    empty();
    QObject::connect(rangeBox, &QLineEdit::textChanged, [&](const QString& text) {
        if (text.isEmpty())
            return;
        ++paints;
        empty();
    });

    bar(*window, "hsbMSelected")->setValue(7);
    EXPECT_EQ(s().MCurrent, 7);
    EXPECT_EQ(box(*window, "txtMSelected")->text().toStdString(), "7");
    EXPECT_EQ(valueTexts(), (std::vector<std::string> { "4.5", "1.75", "-7.0" }));
    EXPECT_DOUBLE_EQ(s().RhoCurrent, 4.5);
    EXPECT_DOUBLE_EQ(s().PCurrent, 1.75);
    EXPECT_DOUBLE_EQ(s().VXCurrent, -7);
    EXPECT_EQ(paints, 1);
}

TEST_F(EditorsTest, TextThatNamesNoValueOrCellChangesNothing)
{
    struct Snapshot {
        Long MCurrent;
        double RhoCurrent, PCurrent, VXCurrent, RhoMin, RhoMax, PMin, PMax, VXMin, VXMax;
        int cellBar, rhoBar, pBar, vxBar;
        bool operator==(const Snapshot&) const = default;
    };
    auto snapshot = [this] {
        const ExperimentState& st = s();
        return Snapshot { st.MCurrent, st.RhoCurrent, st.PCurrent, st.VXCurrent, st.RhoMin, st.RhoMax, st.PMin,
            st.PMax, st.VXMin, st.VXMax, bar(*window, "hsbMSelected")->value(),
            bar(*window, "hsbDensity")->value(), bar(*window, "hsbPressure")->value(),
            bar(*window, "hsbVelocity")->value() };
    };
    const std::vector<std::string> notNumbers = { "abc", "-", "1e", ".", "+", "", "1.2.3", "e5", "--1" };
    struct Case {
        QLineEdit* box;
        std::vector<std::string> texts;
    };
    std::vector<std::string> badCells = notNumbers;
    for (const char* t : { "0", "0.4", "-3", "101", "100.6" })
        badCells.emplace_back(t);
    std::vector<std::string> badDensities = notNumbers;
    for (const char* t : { "0", "-1" })
        badDensities.emplace_back(t);
    const Case cases[] = {
        { box(*window, "txtMSelected"), badCells },
        { box(*window, "txtDensity"), badDensities },
        { box(*window, "txtPressure"), notNumbers },
        { box(*window, "txtVelocity"), notNumbers },
    };
    for (const Case& c : cases) {
        for (const std::string& text : c.texts) {
            SCOPED_TRACE(c.box->objectName().toStdString() + " <- \"" + text + "\"");
            const Snapshot before = snapshot();
            type(c.box, text);
            EXPECT_TRUE(snapshot() == before);
        }
    }
}

TEST_F(EditorsTest, DuringARunATypedValueLeavesItsBar)
{
    s().Stopped = 0;
    const int rhoBar = bar(*window, "hsbDensity")->value();
    const int vxBar = bar(*window, "hsbVelocity")->value();
    type(box(*window, "txtDensity"), "1.02");
    type(box(*window, "txtVelocity"), "0.5");
    EXPECT_DOUBLE_EQ(s().RhoCurrent, 1.02);
    EXPECT_DOUBLE_EQ(s().VXCurrent, 0.5);
    EXPECT_EQ(bar(*window, "hsbDensity")->value(), rhoBar);
    EXPECT_EQ(bar(*window, "hsbVelocity")->value(), vxBar);

    // Once the run has stopped, the next typed value moves the bar again:
    // 20000 x (0.25 + 1.05) / 2.1 - 10000 on the range -1.05..1.05.
    s().Stopped = 1;
    type(box(*window, "txtVelocity"), "0.25");
    EXPECT_EQ(bar(*window, "hsbVelocity")->value(), 2381);
}

} // namespace
