// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/CommandLine.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/BatchRun.h"
#include "app/ProgramOptions.h"
#include "ui/window/PictureBatch.h"
#include "ui/kit/StudyPlotPicture.h"
#include "app/CompareBatch.h"
#include "ui/window/GuideScenes.h"
#include "ui/kit/QtDialogs.h"
#include "ui/window/SheetCheckBatch.h"
#include "ui/window/frmTamrel.h"
#include "common/StagedFile.h"
#include "exact/RiemannExplorer.h"

namespace tamrel {

namespace {

    // Without a platform chosen, Qt on Linux wants an X11 (or Wayland)
    // display and aborts when there is none; say so and stop instead.
    bool displayMissing()
    {
        return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
            && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    }

    // The first size: -geometry's, or one that fits the screen; and the
    // place -geometry asks for (a negative one from the right or bottom).
    void placeWindow(frmTamrel& window, const WindowStart& start)
    {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
        if (start.size)
            window.resize(start.size->first, start.size->second);
        else
            window.resize(window.firstSize(available));
        if (start.position) {
            const auto [x, y] = *start.position;
            window.move(x >= 0 ? x : available.right() - window.width() + x,
                y >= 0 ? y : available.bottom() - window.height() + y);
        }
    }

    int runWindow(const WindowStart& start, char* program)
    {
        if (displayMissing()) {
            std::fputs("tamrel: no display to show the window on (DISPLAY is not set); "
                       "--batch runs a problem without one\n",
                stderr);
            return 1;
        }
        // The screenshot's path is checked before the window opens, and the
        // picture replaces the file only once it is written in full.
        std::shared_ptr<StagedFile> shot;
        if (start.screenshotFile) {
            removeStagedFilesOnSignals();
            shot = std::make_shared<StagedFile>(*start.screenshotFile);
            if (!shot->ok()) {
                std::fprintf(stderr, "tamrel: %s\n", shot->error().c_str());
                return 2;
            }
        }
        // Qt reads its own options (-platform, -display, the X11 plugin's
        // -name) out of the arguments it is given. The command line is ours
        // and read already, so Qt gets the program's name alone.
        int qtArgc = 1;
        char* qtArgv[] = { program, nullptr };
        QApplication app(qtArgc, qtArgv);
        QApplication::setApplicationName(QStringLiteral("tamrel"));

        QtDialogs dialogs;
        WindowOptions options;
        options.threads = start.threads;
        options.studentName = start.studentName;
        frmTamrel window(dialogs, options);
        dialogs.setParent(&window);
        if (start.scene)
            playGuideScene(window, *start.scene);
        placeWindow(window, start);
        window.show();
        if (start.openFile)
            window.openFile(*start.openFile);

        if (start.exitAfterShownMs) {
            QWidget& subject = start.scene ? guideSceneSubject(window, *start.scene) : window;
            QTimer::singleShot(*start.exitAfterShownMs, &window, [&window, &subject, shot] {
                std::puts(window.isVisible() ? "window shown" : "window not shown");
                std::fflush(stdout);
                if (shot
                    && !(subject.grab().save(QString::fromStdString(shot->temporaryPath()), "PNG")
                        && shot->commit()))
                    std::fprintf(stderr, "tamrel: cannot write '%s'\n", shot->target().c_str());
                window.close();
            });
        }
        return QApplication::exec();
    }

    // The study's plot is drawn with Qt's painter, offscreen: the
    // application object lives only while it draws.
    bool drawStudyPlot(const compare::StudyPlotDrawing& d, const std::string& path, bool svg, char* program)
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int qtArgc = 1;
        char* qtArgv[] = { program, nullptr };
        QApplication app(qtArgc, qtArgv);
        QApplication::setApplicationName(QStringLiteral("tamrel"));
        return SaveStudyPlot(d, path, svg);
    }

} // namespace

int runProgram(int argc, char** argv)
{
    // The command line is read before Qt starts: help, version and refused
    // options answer without a display.
    const ProgramOptions p = parseProgramOptions(std::vector<std::string>(argv + 1, argv + argc));
    switch (p.action) {
    case ProgramOptions::Action::Help:
    case ProgramOptions::Action::Version:
    case ProgramOptions::Action::List:
        std::fputs(p.text.c_str(), stdout);
        return 0;
    case ProgramOptions::Action::Refused:
        std::fprintf(stderr, "tamrel: %s (tamrel --help lists the options)\n", p.text.c_str());
        return 2;
    // A batch run starts Qt only to draw a picture: without one it needs no
    // display platform at all.
    case ProgramOptions::Action::Batch:
        if (batchDrawsPictures(p.batch))
            return runPictureBatch(p.batch, argv[0]);
        return runSessionBatch(p.batch);
    case ProgramOptions::Action::Convergence:
        return runConvergenceBatch(p.batch, [&](const compare::StudyPlotDrawing& d, const std::string& path, bool svg) {
            return drawStudyPlot(d, path, svg, argv[0]);
        });
    case ProgramOptions::Action::Check:
        return runSheetChecks(p.sheets, argv[0], p.answers, p.report, p.window.studentName.value_or("Lab sheet"));
    case ProgramOptions::Action::Riemann: {
        kernels::FlowState left, right;
        double gamma = 0;
        std::string error;
        exact::ParseRiemannStates(p.text, left, right, gamma, error);
        const exact::RiemannExploration r = exact::ExploreRiemann(left, right, gamma);
        if (!r.ok) {
            std::fprintf(stderr, "tamrel: --riemann: %s\n", r.reason.c_str());
            return 2;
        }
        std::puts(exact::RiemannKeyValues(r).c_str());
        return 0;
    }
    case ProgramOptions::Action::Window:
        break;
    }
    return runWindow(p.window, argv[0]);
}

} // namespace tamrel
