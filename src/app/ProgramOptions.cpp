// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramOptions.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>
#include <string_view>

#include "common/Format.h"
#include "compare/ConvergenceStudy.h"
#include "compare/SideBySide.h"
#include "exact/RiemannExplorer.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "spacetime/SpaceTimeVariables.h"

namespace tamrel {

namespace {

    enum class Mode { Any, Window, Batch, Study, Sheet, Alone };

    struct OptionSpec {
        std::string_view name;
        std::string_view value; // "" for a switch
        std::string_view help;
        Mode mode;
    };

    constexpr OptionSpec kOptions[] = {
        { "help", "", "Show this help and exit.", Mode::Any },
        { "version", "", "Show the version and exit.", Mode::Any },
        { "name", "NAME", "Start-up name (no name prompt).", Mode::Any },
        { "threads", "T",
            "Threads for the strips of a time step: 1, or 2 (the default), where the second thread takes part "
            "only while it makes the steps faster.",
            Mode::Any },
        { "exit-after-shown", "MS", "Close the window MS milliseconds after it is shown.", Mode::Window },
        { "screenshot", "FILE.png",
            "Save a picture of the window and close it (after --exit-after-shown, or one second after it is "
            "shown).",
            Mode::Window },
        { "scene", "NAME",
            "Before the window shows: start, test1 (Test 1 run to its end), multi (four of its states "
            "overlaid), spacetime (its space-time picture big), compare (Test 1 run by three schemes side "
            "by side) or sheet (the Test 1 lab sheet checked; the picture shows its window); for pictures of "
            "the window.",
            Mode::Window },
        { "geometry", "WxH", "The window's first size in pixels, as 1400x1072 (also -geometry WxH[+X+Y]).",
            Mode::Window },
        { "batch", "", "Run a problem without a window and write the result.", Mode::Batch },
        { "test", "K", "Shock-tube test K (1..{tests}).", Mode::Batch },
        { "sound-wave", "", "The sound-wave experiment.", Mode::Batch },
        { "wave", "LIST",
            "Sound-wave answers \"A+,k+,A-,k-,A0,k0,u0\" (with --sound-wave; the wave numbers k are whole numbers "
            "from 1).",
            Mode::Batch },
        { "setup", "FILE",
            "Read a set-up file; its values stand over --cells, --courant, --periods and "
            "--plots-per-unit.",
            Mode::Batch },
        { "cells", "N", "Number of grid cells (6..5000); with --convergence the ladder, as \"32,64,128\".",
            Mode::Batch },
        { "scheme", "NAME", "{schemes}.", Mode::Batch },
        { "schemes", "LIST",
            "Run 2 to 5 schemes side by side, as \"Orvane,Sorvi\": --out and --history get a leading scheme "
            "column, the summary a line per scheme (with --convergence: the study's schemes, 1 to 5).",
            Mode::Batch },
        { "meter", "", "Turn the Mflop/s meter on.", Mode::Batch },
        { "periods", "P", "Time units to run (not with --test: a shock-tube test runs to its own stop time).",
            Mode::Batch },
        { "plots-per-unit", "K", "Snapshots per time unit.", Mode::Batch },
        { "courant", "C", "Target Courant number.", Mode::Batch },
        { "out", "FILE.csv", "Write the final state as CSV.", Mode::Batch },
        { "history", "FILE.csv", "Write every stored snapshot as CSV.", Mode::Batch },
        { "spacetime", "FILE.png", "Save the space-time picture as PNG.", Mode::Batch },
        { "plots", "FILE.png", "Save the three line plots of the final state (.png or .svg).", Mode::Batch },
        { "animation", "FILE.gif",
            "Save the run as an animated GIF: the three line plots of every stored snapshot (with the exact "
            "solution under --exact), 10 frames a second.",
            Mode::Batch },
        { "variable", "NAME", "Space-time variable (default Density; with --spacetime).", Mode::Batch },
        { "size", "SIZE", "Space-time picture size, small or big (with --spacetime).", Mode::Batch },
        { "exact", "",
            "Add the exact solution: columns rho_exact,p_exact,vx_exact in --out and --history, l1_rho, l1_vx "
            "and l1_p on the summary line.",
            Mode::Batch },
        { "waves", "", "Draw the exact waves into the --spacetime picture.", Mode::Batch },
        { "convergence", "",
            "Convergence study: every scheme of --schemes at every grid size of --cells, errors against the "
            "exact solution of --test K or of a --sound-wave with amplitudes at most 1e-3; --out FILE.csv, "
            "--plot FILE.png|svg.",
            Mode::Study },
        { "plot", "FILE.png", "With --convergence: the log-log plot of error against cells (.png or .svg).",
            Mode::Study },
        { "riemann", "STATES",
            "Print the star state and the waves of the Riemann problem \"rhoL,uL,pL,rhoR,uR,pR[,gamma]\" and "
            "exit.",
            Mode::Alone },
        { "check", "SHEET.json...",
            "Run each lab sheet in batch and print one line per check (PASS or FAIL, the measured value, the "
            "tolerance) and, with --answers, per question that asks for a number; exit 0 when all pass, 1 when "
            "one fails, 2 for a sheet that cannot be read.",
            Mode::Alone },
        { "answers", "FILE.json",
            "With --check of one sheet: the student's answers (as the sheet window saves them), graded against "
            "what the lab measures. Without it only the checks are graded.",
            Mode::Sheet },
        { "report", "FILE.pdf",
            "With --check of one sheet: the lab report of its run, with the questions, the answers and the "
            "results, as a PDF and an .html beside it (FILE.html: the .html alone); --name names the student.",
            Mode::Sheet },
        { "list-schemes", "", "Print the names of the schemes, one a line, and exit.", Mode::Alone },
        { "list-tests", "", "Print the numbers of the shock-tube tests, one a line, and exit.", Mode::Alone },
    };

    // A help text with its lists filled in from their tables: "{schemes}"
    // becomes the scheme names, "{tests}" the number of shock-tube tests.
    std::string withLists(std::string_view help)
    {
        std::string text(help);
        const std::pair<std::string_view, std::string> lists[] = { { "{schemes}", kernels::schemeNamesPhrase() },
            { "{tests}", std::to_string(kShockTubeTestCount) } };
        for (const auto& [mark, list] : lists)
            if (const auto at = text.find(mark); at != std::string::npos)
                text.replace(at, mark.size(), list);
        return text;
    }

    // --list-schemes and --list-tests: a line per row of the table, for scripts.
    std::string tableLines(bool schemes)
    {
        std::string lines;
        if (schemes)
            for (const kernels::SchemeInfo& s : kernels::allSchemes())
                lines.append(s.name).append("\n");
        else
            for (int t = 1; t <= kShockTubeTestCount; ++t)
                lines += std::to_string(t) + "\n";
        return lines;
    }

    // Outputs whose format is fixed: the name must carry one of its
    // extensions (any case), or a picture would land in a file named as text.
    struct OutputFormat {
        std::string_view option;
        std::string_view what;
        std::string_view format;
        std::vector<std::string_view> extensions;
        bool plural = false; // "the line plots are written"
    };

    const std::vector<OutputFormat>& outputFormats()
    {
        static const std::vector<OutputFormat> formats = {
            { "out", "the final state", "CSV", { ".csv" } },
            { "history", "the history", "CSV", { ".csv" } },
            { "spacetime", "the space-time picture", "PNG", { ".png" } },
            { "screenshot", "the window's picture", "PNG", { ".png" } },
            { "plot", "the study's plot", "PNG or SVG", { ".png", ".svg" } },
            { "plots", "the line plots", "PNG or SVG", { ".png", ".svg" }, true },
            { "animation", "the animation", "GIF", { ".gif" } },
            { "report", "the report", "PDF or HTML", { ".pdf", ".html" } },
        };
        return formats;
    }

    const OptionSpec* findOption(std::string_view name)
    {
        for (const OptionSpec& o : kOptions)
            if (o.name == name)
                return &o;
        return nullptr;
    }

    std::string dashed(std::string_view name)
    {
        return "--" + std::string(name);
    }

    // The options given, by name, with their values ("" for a switch).
    class Given {
    public:
        bool has(std::string_view name) const { return values_.count(std::string(name)) != 0; }
        const std::string& value(std::string_view name) const { return values_.at(std::string(name)); }
        const std::map<std::string, std::string>& all() const { return values_; }
        std::map<std::string, std::string> values_;
        std::vector<std::string> files; // --check: every sheet named after it
        std::string opened; // the window's file to open: a lab sheet or a set-up
    };

    // Splits the arguments into options and values; "" or the reason.
    std::string readArguments(const std::vector<std::string>& arguments, Given& given)
    {
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const std::string& a = arguments[i];
            std::string name;
            std::optional<std::string> inlineValue;
            if (a == "-h" || a == "-?") {
                name = "help";
            } else if (a == "-v") {
                name = "version";
            } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
                const auto eq = a.find('=');
                name = a.substr(2, eq == std::string::npos ? std::string::npos : eq - 2);
                if (eq != std::string::npos)
                    inlineValue = a.substr(eq + 1);
            } else if (a == "-geometry") {
                name = "geometry"; // the X11 toolkits' spelling
            } else if (a.size() > 1 && a[0] == '-') {
                return "unknown option '" + a + "'";
            } else if (given.opened.empty()) {
                // A file to open in the window (a file manager passes it so).
                given.opened = a;
                continue;
            } else {
                return "unexpected argument '" + a + "'";
            }
            const OptionSpec* option = findOption(name);
            if (!option)
                return "unknown option '" + dashed(name) + "'";
            std::string value;
            if (name == "check") {
                // Every argument up to the next option is a sheet.
                if (inlineValue)
                    given.files.push_back(*inlineValue);
                while (i + 1 < arguments.size() && arguments[i + 1].compare(0, 2, "--") != 0)
                    given.files.push_back(arguments[++i]);
                if (given.files.empty())
                    return "--check needs at least one lab sheet (SHEET.json)";
            } else if (option->value.empty()) {
                if (inlineValue)
                    return dashed(name) + " takes no value";
            } else if (inlineValue) {
                value = *inlineValue;
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i]; // taken as it is: values such as "-0.01,1,..." start with a dash
            } else {
                return dashed(name) + " needs a value (" + std::string(option->value) + ")";
            }
            if (given.has(name))
                return dashed(name) + " is given twice";
            given.values_[name] = value;
        }
        return {};
    }

    // An option of one mode given for the other.
    std::string checkModes(const Given& given)
    {
        const bool study = given.has("convergence");
        const bool batch = given.has("batch") || study;
        for (const auto& [name, value] : given.all()) {
            const Mode mode = findOption(name)->mode;
            if (mode == Mode::Sheet && !given.has("check"))
                return dashed(name) + " is for --check";
            // --check takes its own options, and a student's name for its report.
            const std::size_t alongside = name != "check"
                ? 0
                : static_cast<std::size_t>(given.has("answers")) + static_cast<std::size_t>(given.has("report"))
                    + static_cast<std::size_t>(given.has("report") && given.has("name"));
            if (mode == Mode::Alone && given.all().size() > 1 + alongside)
                return dashed(name) + " stands alone";
            if (mode == Mode::Batch && !batch)
                return dashed(name) + " is for batch runs (--batch)";
            if (mode == Mode::Study && !study)
                return dashed(name) + " is for a convergence study (--convergence)";
            if (study && given.has("batch"))
                return "--convergence runs on its own, without --batch";
            if (mode == Mode::Window && batch)
                return dashed(name) + " is for the window, not for batch runs";
        }
        return {};
    }

    bool endsWithNoCase(std::string_view text, std::string_view tail)
    {
        if (text.size() < tail.size())
            return false;
        return std::equal(
            tail.begin(), tail.end(), text.end() - static_cast<std::ptrdiff_t>(tail.size()), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            });
    }

    std::string checkOutputNames(const Given& given)
    {
        for (const OutputFormat& f : outputFormats()) {
            if (!given.has(f.option))
                continue;
            const std::string& file = given.value(f.option);
            if (std::any_of(f.extensions.begin(), f.extensions.end(),
                    [&](std::string_view e) { return endsWithNoCase(file, e); }))
                continue;
            std::string endings;
            for (std::size_t i = 0; i < f.extensions.size(); ++i)
                endings += (i == 0                                ? ""
                                   : i + 1 == f.extensions.size() ? " or "
                                                                  : ", ")
                    + std::string(f.extensions[i]);
            return dashed(f.option) + " '" + file + "': " + std::string(f.what) + (f.plural ? " are" : " is")
                + " written as " + std::string(f.format) + ", so the name must end in " + endings;
        }
        return {};
    }

    // A whole number in [low, high], or nullopt.
    std::optional<long> wholeNumber(const std::string& text, long low, long high)
    {
        const auto v = parseNumber(text);
        if (!v || *v != std::floor(*v) || *v < static_cast<double>(low) || *v > static_cast<double>(high))
            return std::nullopt;
        return static_cast<long>(*v);
    }

    std::vector<std::string> splitCommas(const std::string& text)
    {
        std::vector<std::string> parts;
        std::stringstream ss(text);
        std::string item;
        while (std::getline(ss, item, ','))
            parts.push_back(item);
        if (!text.empty() && text.back() == ',')
            parts.emplace_back();
        return parts;
    }

    std::string readThreads(const Given& given, int& threads)
    {
        if (!given.has("threads"))
            return {};
        const auto t = wholeNumber(given.value("threads"), 1, 2);
        if (!t)
            return "--threads must be 1 or 2, not '" + given.value("threads") + "'";
        threads = static_cast<int>(*t);
        return {};
    }

    std::string readWindowStart(const Given& given, WindowStart& w)
    {
        if (given.has("name"))
            w.studentName = given.value("name");
        if (given.has("exit-after-shown")) {
            const auto ms = wholeNumber(given.value("exit-after-shown"), 0, 24L * 3600 * 1000);
            if (!ms)
                return "--exit-after-shown must be a whole number of milliseconds, not '"
                    + given.value("exit-after-shown") + "'";
            w.exitAfterShownMs = static_cast<int>(*ms);
        }
        if (given.has("screenshot")) {
            if (!w.exitAfterShownMs)
                w.exitAfterShownMs = 1000; // long enough for the first paints
            w.screenshotFile = given.value("screenshot");
        }
        if (given.has("scene")) {
            const std::string& scene = given.value("scene");
            if (scene != "start" && scene != "test1" && scene != "multi" && scene != "spacetime"
                && scene != "compare" && scene != "sheet")
                return "--scene must be start, test1, multi, spacetime, compare or sheet, not '" + scene + "'";
            w.scene = scene;
        }
        if (given.has("geometry")) {
            const std::string& g = given.value("geometry");
            int width = 0, height = 0, x = 0, y = 0;
            char xSign = '+', ySign = '+';
            int used = 0;
            const bool sized = std::sscanf(g.c_str(), "%dx%d%n", &width, &height, &used) == 2;
            bool placed = false;
            if (sized && static_cast<std::size_t>(used) < g.size()) {
                int more = 0;
                placed = std::sscanf(g.c_str() + used, "%c%d%c%d%n", &xSign, &x, &ySign, &y, &more) == 4
                    && (xSign == '+' || xSign == '-') && (ySign == '+' || ySign == '-')
                    && static_cast<std::size_t>(used + more) == g.size();
                if (!placed)
                    width = 0;
            }
            if (!sized || width < 1 || height < 1 || width > 30000 || height > 30000)
                return "-geometry must be WIDTHxHEIGHT in pixels, as 1400x1072 (with +X+Y to place it), not '" + g
                    + "'";
            w.size = std::make_pair(width, height);
            if (placed)
                w.position = std::make_pair(xSign == '-' ? -x : x, ySign == '-' ? -y : y);
        }
        return readThreads(given, w.threads);
    }

    // The problem to load: at most one of --test, --sound-wave and --setup.
    std::string readProblem(const Given& given, BatchOptions& o)
    {
        const int problems = static_cast<int>(given.has("test")) + static_cast<int>(given.has("sound-wave"))
            + static_cast<int>(given.has("setup"));
        if (problems > 1)
            return "give at most one problem: --test K, --sound-wave or --setup FILE";
        if (given.has("test")) {
            const auto k = wholeNumber(given.value("test"), 1, kShockTubeTestCount);
            if (!k)
                return "--test must be a test number from 1 to " + std::to_string(kShockTubeTestCount) + ", not '"
                    + given.value("test") + "'";
            o.test = static_cast<int>(*k);
        }
        o.soundWave = given.has("sound-wave");
        if (given.has("wave")) {
            if (!o.soundWave)
                return "--wave needs --sound-wave";
            o.wave = splitCommas(given.value("wave"));
            if (o.wave.size() != 7)
                return "--wave needs seven comma-separated values: A+,k+,A-,k-,A0,k0,u0";
            for (std::size_t i = 0; i < o.wave.size(); ++i) {
                const std::string& a = o.wave[i];
                const auto v = parseNumber(a);
                if (!v)
                    return "--wave value '" + a + "' is not a number";
                // k+, k- and k0 count whole waves on the periodic grid, as
                // in a lab sheet's sound_wave.
                const bool waveNumber = i == 1 || i == 3 || i == 5;
                if (waveNumber && !(*v >= 1 && *v == std::floor(*v)))
                    return "--wave: a wave number (k+, k-, k0) must be a whole number from 1 up, not '" + a + "'";
            }
            // The window's own rule, on the answers as the window takes them.
            ExperimentState wave;
            for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k)
                ApplySoundWaveAnswer(wave, kSoundWaveQuestions[k].field, o.wave[k]);
            if (const std::string why = SoundWaveRefusal(wave); !why.empty())
                return "--wave refused: " + why;
        }
        if (given.has("setup"))
            o.setupFile = given.value("setup");
        return {};
    }

    std::string readSchemes(const Given& given, BatchOptions& o)
    {
        if (!given.has("schemes"))
            return {};
        if (given.has("scheme"))
            return "give --scheme or --schemes, not both";
        if (given.value("schemes").empty())
            return "--schemes needs a list of schemes, as \"Orvane,Sorvi\", not an empty one";
        o.schemes = splitCommas(given.value("schemes"));
        for (std::size_t i = 0; i < o.schemes.size(); ++i) {
            if (!kernels::findScheme(o.schemes[i]))
                return "unknown scheme '" + o.schemes[i] + "' in --schemes (choose " + kernels::schemeNamesPhrase()
                    + ")";
            for (std::size_t j = 0; j < i; ++j)
                if (kernels::findScheme(o.schemes[i]) == kernels::findScheme(o.schemes[j]))
                    return "--schemes names " + o.schemes[i] + " twice";
        }
        return {};
    }

    // The study: a problem with an exact reference, its schemes and ladder,
    // and only the outputs a study writes.
    std::string readStudy(const Given& given, BatchOptions& o)
    {
        o.convergence = true;
        if (!given.has("test") && !given.has("sound-wave"))
            return "--convergence needs a problem with an exact reference: --test K or --sound-wave";
        for (const char* other :
            { "setup", "history", "spacetime", "plots", "animation", "exact", "meter", "scheme" })
            if (given.has(other))
                return dashed(other) + " is not for a convergence study";
        if (!given.has("schemes"))
            return "--convergence needs --schemes A,B,...";
        if (!given.has("cells"))
            return "--convergence needs the grid sizes: --cells 32,64,...";
        for (const std::string& part : splitCommas(given.value("cells"))) {
            const auto v = parseNumber(part);
            if (!v || *v != std::floor(*v))
                return "--cells '" + part + "' is not a whole number";
            // Far beyond any grid: said as typed, before it becomes a long.
            if (!(std::fabs(*v) <= 1e9))
                return "a resolution of " + part + " cells lies outside " + std::to_string(compare::kStudyMinCells)
                    + ".." + std::to_string(compare::kStudyMaxCells);
            o.ladder.push_back(static_cast<long>(*v));
        }
        if (auto refusal = compare::CheckStudyRequest(o.schemes, o.ladder))
            return *refusal;
        if (o.schemes.size() > static_cast<std::size_t>(compare::kMaxSchemes))
            return "a study takes at most 5 schemes";
        if (given.has("plot"))
            o.plotFile = given.value("plot");
        return {};
    }

    std::string readRunValues(const Given& given, BatchOptions& o)
    {
        if (given.has("cells") && !given.has("convergence")) {
            const auto n = wholeNumber(given.value("cells"), 6, 5000);
            if (!n)
                return "--cells must be a whole number from 6 to 5000, not '" + given.value("cells") + "'";
            o.cells = *n;
        }
        if (given.has("scheme")) {
            o.scheme = given.value("scheme");
            if (!kernels::findScheme(*o.scheme))
                return "unknown scheme '" + *o.scheme + "' (choose " + kernels::schemeNamesPhrase() + ")";
        }
        o.meter = given.has("meter");
        // A test sets its own stop time, as a lab sheet's test does.
        if (given.has("test") && given.has("periods"))
            return "--periods is not for a shock-tube test: --test runs to its own stop time";
        // The boxes judge the ranges; here they need only be numbers.
        const std::pair<const char*, std::optional<std::string>*> boxes[]
            = { { "periods", &o.periods }, { "plots-per-unit", &o.plotsPerUnit }, { "courant", &o.courant } };
        for (const auto& [name, field] : boxes) {
            if (!given.has(name))
                continue;
            *field = given.value(name);
            if (!parseNumber(**field))
                return dashed(name) + " '" + **field + "' is not a number";
        }
        return {};
    }

    std::string readOutputs(const Given& given, BatchOptions& o)
    {
        const std::pair<const char*, std::optional<std::string>*> files[]
            = { { "out", &o.outFile }, { "history", &o.historyFile }, { "spacetime", &o.spaceTimeFile },
                  { "plots", &o.plotsFile }, { "animation", &o.animationFile } };
        for (const auto& [name, field] : files)
            if (given.has(name))
                *field = given.value(name);
        if (given.has("variable")) {
            if (!o.spaceTimeFile)
                return "--variable needs --spacetime";
            o.variable = given.value("variable");
            if (!FindSpaceTimeVariable(o.variable)) {
                std::string names;
                for (const SpaceTimeVariable& v : SpaceTimeVariables())
                    names += (names.empty() ? "" : ", ") + std::string(v.listText);
                return "unknown space-time variable '" + o.variable + "' (choose " + names + ")";
            }
        }
        o.exact = given.has("exact");
        o.waves = given.has("waves");
        if (o.waves && !o.spaceTimeFile)
            return "--waves needs --spacetime";
        if (given.has("size")) {
            if (!o.spaceTimeFile)
                return "--size needs --spacetime";
            o.size = given.value("size");
            if (o.size != "small" && o.size != "big")
                return "--size must be small or big, not '" + o.size + "'";
        }
        return {};
    }

    std::string readBatchOptions(const Given& given, BatchOptions& o)
    {
        if (given.has("name"))
            o.name = given.value("name");
        for (auto* step : { readProblem, readSchemes, readRunValues, readOutputs })
            if (std::string refusal = step(given, o); !refusal.empty())
                return refusal;
        if (given.has("convergence")) {
            if (std::string refusal = readStudy(given, o); !refusal.empty())
                return refusal;
        } else if (!o.schemes.empty()) {
            if (o.schemes.size() < static_cast<std::size_t>(compare::kMinSchemes)
                || o.schemes.size() > static_cast<std::size_t>(compare::kMaxSchemes))
                return "--schemes takes 2 to 5 schemes, not " + std::to_string(o.schemes.size());
            for (const char* other : { "spacetime", "plots", "animation", "meter" })
                if (given.has(other))
                    return dashed(other) + " is for a run of one scheme, not with --schemes";
        }
        return readThreads(given, o.threads);
    }

    ProgramOptions refused(std::string reason)
    {
        ProgramOptions p;
        p.action = ProgramOptions::Action::Refused;
        p.text = std::move(reason);
        return p;
    }

} // namespace

ProgramOptions parseProgramOptions(const std::vector<std::string>& arguments)
{
    Given given;
    if (std::string refusal = readArguments(arguments, given); !refusal.empty())
        return refused(refusal);
    ProgramOptions p;
    if (given.has("help")) {
        p.action = ProgramOptions::Action::Help;
        p.text = programHelpText();
        return p;
    }
    if (given.has("version")) {
        p.action = ProgramOptions::Action::Version;
        p.text = programVersionText();
        return p;
    }
    for (auto* check : { checkModes, checkOutputNames })
        if (std::string refusal = check(given); !refusal.empty())
            return refused(refusal);
    if (given.has("list-schemes") || given.has("list-tests")) {
        p.action = ProgramOptions::Action::List;
        p.text = tableLines(given.has("list-schemes"));
        return p;
    }
    const bool window = !given.has("riemann") && !given.has("check") && !given.has("batch")
        && !given.has("convergence");
    if (!given.opened.empty() && !window)
        return refused("unexpected argument '" + given.opened + "'");
    if (given.has("riemann")) {
        // Checked here, so a bad state is refused like any bad value.
        kernels::FlowState left, right;
        double gamma = 0;
        if (std::string error; !exact::ParseRiemannStates(given.value("riemann"), left, right, gamma, error))
            return refused(error);
        p.action = ProgramOptions::Action::Riemann;
        p.text = given.value("riemann");
        return p;
    }
    if (given.has("check")) {
        p.action = ProgramOptions::Action::Check;
        p.sheets = given.files;
        if (given.has("answers")) {
            if (p.sheets.size() != 1)
                return refused("--answers grades the answers to one sheet: give --check one sheet with it");
            p.answers = given.value("answers");
        }
        if (given.has("report")) {
            if (p.sheets.size() != 1)
                return refused("--report writes the report of one sheet: give --check one sheet with it");
            p.report = given.value("report");
            if (given.has("name"))
                p.window.studentName = given.value("name");
        }
        return p;
    }
    if (given.has("batch") || given.has("convergence")) {
        p.action = given.has("convergence") ? ProgramOptions::Action::Convergence : ProgramOptions::Action::Batch;
        if (std::string refusal = readBatchOptions(given, p.batch); !refusal.empty())
            return refused(refusal);
        return p;
    }
    p.action = ProgramOptions::Action::Window;
    if (std::string refusal = readWindowStart(given, p.window); !refusal.empty())
        return refused(refusal);
    if (!given.opened.empty())
        p.window.openFile = given.opened;
    return p;
}

std::vector<OptionHelpSection> programOptionHelp()
{
    const std::pair<Mode, const char*> headings[] = { { Mode::Any, "Options" }, { Mode::Window, "The window" },
        { Mode::Batch, "Batch runs (no window, no display needed)" },
        { Mode::Study, "Convergence studies (no window; the batch options of the problem apply)" },
        { Mode::Alone, "On its own" }, { Mode::Sheet, "Lab sheets (with --check)" } };
    std::vector<OptionHelpSection> sections;
    for (const auto& [mode, heading] : headings) {
        OptionHelpSection& section = sections.emplace_back();
        section.heading = heading;
        for (const OptionSpec& o : kOptions) {
            if (o.mode != mode)
                continue;
            OptionHelp& help = section.options.emplace_back();
            help.shortName = o.name == "help" ? "-h" : o.name == "version" ? "-v" : "";
            help.name = "--" + std::string(o.name);
            help.value = o.value;
            help.help = withLists(o.help);
        }
    }
    return sections;
}

const char* programHelpClosing()
{
    return "FILE, for the window: a lab sheet (.json) to open, or a set-up file to read.\n"
           "A batch run writes its files only when it succeeds; a failed run leaves every file as it was.\n"
           "Exit status: 0 success, 1 the run or its outputs failed, 2 a refused option or problem (nothing "
           "run).\n";
}

std::string programHelpText()
{
    std::string text = "Usage: tamrel [options] [FILE]\n" + std::string(programSummary()) + "\n";
    for (const OptionHelpSection& section : programOptionHelp()) {
        text += "\n" + section.heading + ":\n";
        for (const OptionHelp& o : section.options) {
            std::string left = o.shortName.empty() ? "" : o.shortName + ", ";
            left += o.name;
            if (!o.value.empty())
                left.append(" ").append(o.value);
            left.resize(std::max<std::size_t>(left.size() + 2, 24), ' ');
            text += "  " + left + o.help + "\n";
        }
    }
    return text + "\n" + programHelpClosing();
}

const char* programSummary()
{
    return "Tamrel, a laboratory for one-dimensional gas dynamics: shock tubes, sound waves and numerical "
           "schemes.";
}

const char* programVersion()
{
    // The project's version, set once in CMakeLists.txt.
    return TAMREL_VERSION;
}

std::string programVersionText()
{
    return "tamrel " + std::string(programVersion()) + "\n";
}

} // namespace tamrel
