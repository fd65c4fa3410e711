// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/GuideScenes.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>

#include "ui/window/Controls.h"
#include "ui/window/LabSheetPanel.h"
#include "ui/window/LabSheetWindow.h"
#include "ui/window/frmTamrel.h"

namespace tamrel {

namespace {

    // Runs the loaded problem to its stop time, tick by tick.
    void runToEnd(frmTamrel& w)
    {
        press(w, "cmdBegin");
        for (long i = 0; i < 1000000 && w.record().Stopped == 0 && !w.runFaulted(); ++i)
            w.tick();
    }

    void finishTest(frmTamrel& w, int test)
    {
        press(w, "cmdTest" + std::to_string(test));
        runToEnd(w);
    }

} // namespace

std::vector<std::string> guideSceneNames()
{
    return { "start", "test1", "multi", "spacetime", "compare", "sheet" };
}

bool playGuideScene(frmTamrel& w, const std::string& name)
{
    if (name == "start")
        return true;
    if (name == "test1") {
        finishTest(w, 1);
        return true;
    }
    if (name == "multi") {
        // Four stored states of Test 1 overlaid, from the start to the end.
        finishTest(w, 1);
        press(w, "cmdMultiplePlots");
        const long last = w.record().NStoredStates - 1;
        auto* rows = control<QScrollBar>(w, "vsbStoredStateNumber");
        for (long row : { 0L, last / 3, 2 * last / 3, last })
            rows->setValue(static_cast<int>(row));
        return true;
    }
    if (name == "compare") {
        // Three schemes on Test 1 side by side, the space-time picture showing the second.
        press(w, "cmdTest1");
        w.compareSchemes({ "Orvane", "Mixtal32", "Sorvi" });
        runToEnd(w);
        if (auto* list = findControl<QComboBox>(w, "lstCompareSpaceTime"))
            list->setCurrentIndex(1);
        return true;
    }
    if (name == "sheet") {
        // The Test 1 sheet that ships, two numbers typed (one right, one
        // wrong) and checked.
        const auto folder = labSheetsFolder();
        if (!folder)
            return false;
        w.openFile(*folder + "/shock-tube-waves.json");
        auto* panel = w.findChild<LabSheetPanel*>(QStringLiteral("frmLabSheet"));
        if (!panel)
            return false;
        const std::pair<const char*, const char*> typed[] = { { "txtAnswer0", "a fan, a contact and a shock" },
            { "txtAnswer2", "0.73" }, { "txtAnswer3", "1.2" } };
        for (const auto& [box, text] : typed)
            if (auto* b = panel->findChild<QLineEdit*>(QLatin1String(box)))
                b->setText(QString::fromUtf8(text));
        panel->resize(480, 900);
        panel->check();
        panel->waitUntilDone();
        return true;
    }
    if (name == "spacetime") {
        finishTest(w, 1);
        w.showSpaceTime("Density", true);
        return true;
    }
    return false;
}

QWidget& guideSceneSubject(frmTamrel& w, const std::string& name)
{
    if (name == "sheet")
        if (auto* panel = w.findChild<LabSheetPanel*>(QStringLiteral("frmLabSheet")))
            return *panel;
    return w;
}

} // namespace tamrel
