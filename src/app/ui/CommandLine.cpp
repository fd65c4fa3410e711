#include "app/ui/CommandLine.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/ui/BatchRun.h"
#include "app/ui/QtDialogs.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"

namespace tamrel {

namespace {

bool hasFlag(int argc, char** argv, const char* flag)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], flag) == 0)
            return true;
    return false;
}

int fail(const std::string& message)
{
    std::fprintf(stderr, "tamrel: %s\n", message.c_str());
    return 2;
}

} // namespace

int runProgram(int argc, char** argv)
{
    // A batch run needs no display: choose the offscreen platform before Qt starts.
    if (hasFlag(argc, argv, "--batch") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's platform plugins take some options for themselves (the X11 one
    // takes "-name"): keep the command line as it was given.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tamrel"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Tamrel, a laboratory for one-dimensional gas dynamics: shock tubes, sound waves and numerical schemes."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption name(QStringLiteral("name"), "Start-up name (no name prompt).", "NAME");
    const QCommandLineOption exitAfter(QStringLiteral("exit-after-shown"), "Close the window MS milliseconds after it is shown.", "MS");
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), "Save a picture of the window before closing it.", "FILE");
    const QCommandLineOption batch(QStringLiteral("batch"), "Run a problem without a window and write the result.");
    const QCommandLineOption cells(QStringLiteral("cells"), "Batch: number of grid cells (6..5000).", "N");
    const QCommandLineOption scheme(QStringLiteral("scheme"), "Batch: Orvane, Orvane32, Lentor32, Mixtal32 or Sorvi.", "NAME");
    const QCommandLineOption meter(QStringLiteral("meter"), "Batch: turn the Mflop/s meter on.");
    const QCommandLineOption periods(QStringLiteral("periods"), "Batch: time units to run.", "P");
    const QCommandLineOption plots(QStringLiteral("plots-per-unit"), "Batch: snapshots per time unit.", "K");
    const QCommandLineOption courant(QStringLiteral("courant"), "Batch: target Courant number.", "C");
    const QCommandLineOption test(QStringLiteral("test"), "Batch: shock-tube test K (1..8).", "K");
    const QCommandLineOption sound(QStringLiteral("sound-wave"), "Batch: the sound-wave experiment.");
    const QCommandLineOption wave(QStringLiteral("wave"), "Batch: sound-wave answers \"A+,k+,A-,k-,A0,k0,u0\".", "LIST");
    const QCommandLineOption setup(QStringLiteral("setup"), "Batch: read a set-up file.", "FILE");
    const QCommandLineOption out(QStringLiteral("out"), "Batch: write the final state as CSV.", "FILE");
    const QCommandLineOption history(QStringLiteral("history"), "Batch: write every stored snapshot as CSV.", "FILE");
    const QCommandLineOption spacetime(QStringLiteral("spacetime"), "Batch: save the space-time picture as PNG.", "FILE");
    const QCommandLineOption variable(QStringLiteral("variable"), "Batch: space-time variable (default Density).", "NAME");
    const QCommandLineOption size(QStringLiteral("size"), "Batch: space-time picture size, small or big.", "SIZE");
    const QCommandLineOption threads(QStringLiteral("threads"), "Threads for the strips of a time step (1 or 2).", "T");
    parser.addOptions({name, exitAfter, screenshot, batch, cells, scheme, meter, periods, plots, courant, test, sound,
        wave, setup, out, history, spacetime, variable, size, threads});
    if (!parser.parse(arguments))
        return fail(parser.errorText().toStdString());
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(parser.helpText().toStdString().c_str(), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::puts("tamrel 1.0");
        return 0;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail("unexpected argument '" + parser.positionalArguments().first().toStdString() + "'");

    int threadCount = 2;
    if (parser.isSet(threads)) {
        const auto t = parseNumber(parser.value(threads).toStdString());
        if (!t || (*t != 1 && *t != 2))
            return fail("--threads must be 1 or 2");
        threadCount = static_cast<int>(*t);
    }

    if (parser.isSet(batch)) {
        BatchOptions o;
        o.threads = threadCount;
        if (parser.isSet(name))
            o.name = parser.value(name).toStdString();
        if (parser.isSet(cells)) {
            const auto n = parseNumber(parser.value(cells).toStdString());
            if (!n || *n < 6 || *n > 5000 || *n != std::floor(*n))
                return fail("--cells must be a whole number from 6 to 5000, not '" + parser.value(cells).toStdString() + "'");
            o.cells = static_cast<long>(*n);
        }
        if (parser.isSet(scheme))
            o.scheme = parser.value(scheme).toStdString();
        o.meter = parser.isSet(meter);
        if (parser.isSet(periods))
            o.periods = parser.value(periods).toStdString();
        if (parser.isSet(plots))
            o.plotsPerUnit = parser.value(plots).toStdString();
        if (parser.isSet(courant))
            o.courant = parser.value(courant).toStdString();
        int loads = 0;
        if (parser.isSet(test)) {
            const auto k = parseNumber(parser.value(test).toStdString());
            if (!k || *k < 1 || *k > 8 || *k != std::floor(*k))
                return fail("--test must be a test number from 1 to 8, not '" + parser.value(test).toStdString() + "'");
            o.test = static_cast<int>(*k);
            ++loads;
        }
        if (parser.isSet(sound)) {
            o.soundWave = true;
            ++loads;
        }
        if (parser.isSet(wave)) {
            if (!o.soundWave)
                return fail("--wave needs --sound-wave");
            o.wave = parser.value(wave).toStdString();
        }
        if (parser.isSet(setup)) {
            o.setupFile = parser.value(setup).toStdString();
            ++loads;
        }
        // With nothing to load the run is the default problem of start-up.
        if (loads > 1)
            return fail("give at most one problem: --test K, --sound-wave or --setup FILE");
        if (parser.isSet(out))
            o.outFile = parser.value(out).toStdString();
        if (parser.isSet(history))
            o.historyFile = parser.value(history).toStdString();
        if (parser.isSet(spacetime))
            o.spaceTimeFile = parser.value(spacetime).toStdString();
        if (parser.isSet(variable))
            o.variable = parser.value(variable).toStdString();
        if (parser.isSet(size)) {
            o.size = parser.value(size).toStdString();
            if (o.size != "small" && o.size != "big")
                return fail("--size must be small or big, not '" + o.size + "'");
        }
        return runBatch(o);
    }
    for (const auto* batchOnly : {&cells, &scheme, &meter, &periods, &plots, &courant, &test, &sound, &wave, &setup,
             &out, &history, &spacetime, &variable, &size})
        if (parser.isSet(*batchOnly))
            return fail("--" + batchOnly->names().first().toStdString() + " is for batch runs (--batch)");

    QtDialogs dialogs;
    WindowOptions options;
    options.threads = threadCount;
    if (parser.isSet(name))
        options.studentName = parser.value(name).toStdString();
    frmTamrel window(dialogs, options);
    dialogs.setParent(&window);
    window.show();

    if (parser.isSet(exitAfter)) {
        const int ms = parser.value(exitAfter).toInt();
        const QString shot = parser.value(screenshot);
        QTimer::singleShot(ms, &window, [&window, shot] {
            std::puts(window.isVisible() ? "window shown" : "window not shown");
            std::fflush(stdout);
            if (!shot.isEmpty())
                window.grab().save(shot);
            window.close();
        });
    }
    return QApplication::exec();
}

} // namespace tamrel
