// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/ConvergenceStudy.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <memory>
#include <optional>

#include "common/Threading.h"
#include "compare/ConvergenceOrder.h"
#include "compare/SideBySide.h"
#include "exact/InitialGrid.h"
#include "kernels/SchemeTable.h"

namespace tamrel::compare {

namespace {

    std::optional<exact::ExactSolution> referenceOf(const ExperimentState& s, std::string& why)
    {
        exact::InitialGrid g;
        if (!exact::ReadInitialGrid(s, g, why))
            return std::nullopt;
        return exact::ExactSolution::Of(g);
    }

    struct Job {
        std::size_t scheme;
        std::size_t rung;
        SchemeRun run;
        exact::ExactSolution reference;
        // A sound wave's mirror (its amplitudes negated) and its reference.
        std::optional<SchemeRun> mirror;
        exact::ExactSolution mirrorReference;
        StudyKind kind = StudyKind::Riemann;
        std::array<double, 3> errors {};
        double floor = 0;
    };

    void forget(SchemeRun& run)
    {
        const std::string name = run.state.SchemeName;
        run.state = ExperimentState {};
        run.state.SchemeName = name;
    }

    // Measures the finished run (and its mirror) and lets the records go: a
    // study keeps only its table, not the histories of every run. The two
    // runs of a wave count as one: both time, one failure.
    void runJob(Job& j, const std::atomic<bool>* cancel)
    {
        RunToEnd(j.run, cancel);
        j.kind = StudyKindOf(j.run.state);
        const long steps = j.run.acceptedSteps;
        if (j.run.finished && j.mirror) {
            RunToEnd(*j.mirror, cancel);
            j.run.seconds += j.mirror->seconds;
            j.run.acceptedSteps += j.mirror->acceptedSteps;
            if (!j.mirror->finished) {
                j.run.finished = false;
                j.run.failure = j.mirror->failure;
            }
        }
        if (j.run.finished) {
            j.errors = j.mirror ? StudyOddErrorsAt(j.run.state, j.reference, j.mirror->state, j.mirrorReference)
                                : StudyErrorsAt(j.run.state, j.reference);
            j.floor = StudyRoundingFloor(j.run.state, steps);
        }
        forget(j.run);
        if (j.mirror)
            forget(*j.mirror);
    }

} // namespace

double StudyRow::orderError(StudyKind kind) const
{
    return kind == StudyKind::Riemann ? errors[0] : errors[0] + errors[1] + errors[2];
}

double StudyResult::fittedOrder(const std::string& scheme) const
{
    std::vector<long> n;
    std::vector<double> e;
    for (const StudyRow& r : rows)
        if (r.scheme == scheme && !r.floored) {
            n.push_back(r.cells);
            e.push_back(r.orderError(kind));
        }
    return FittedOrder(n, e);
}

std::vector<const StudyRow*> StudyResult::rowsOf(const std::string& scheme) const
{
    std::vector<const StudyRow*> out;
    for (const StudyRow& r : rows)
        if (r.scheme == scheme)
            out.push_back(&r);
    return out;
}

std::optional<std::string> CheckStudyRequest(
    const std::vector<std::string>& schemes, const std::vector<long>& cells)
{
    if (schemes.empty())
        return "a study needs at least one scheme";
    for (std::size_t i = 0; i < schemes.size(); ++i) {
        if (!kernels::findScheme(schemes[i]))
            return "unknown scheme '" + schemes[i] + "' (choose " + kernels::schemeNamesPhrase() + ")";
        for (std::size_t j = 0; j < i; ++j)
            if (kernels::findScheme(schemes[i]) == kernels::findScheme(schemes[j]))
                return "the scheme " + schemes[i] + " is named twice";
    }
    if (cells.size() < 2)
        return "a study needs at least two resolutions, not " + std::to_string(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] < kStudyMinCells || cells[i] > kStudyMaxCells)
            return "a resolution of " + std::to_string(cells[i]) + " cells lies outside "
                + std::to_string(kStudyMinCells) + ".." + std::to_string(kStudyMaxCells);
        for (std::size_t j = 0; j < i; ++j)
            if (cells[i] == cells[j])
                return "the resolution " + std::to_string(cells[i]) + " is named twice";
    }
    return std::nullopt;
}

std::optional<std::string> CheckStudyProblem(const PrepareStudyRun& prepare, const std::string& scheme, long cells)
{
    std::string why;
    const std::optional<ExperimentState> s = prepare(scheme, cells, false, why);
    if (!s)
        return why.empty() ? "the problem could not be set up" : why;
    const auto reference = referenceOf(*s, why);
    if (!reference)
        return "the problem has no initial grid: " + why;
    return StudyReferenceRefusal(*s, *reference);
}

std::optional<std::string> StudyProblemWarning(
    const PrepareStudyRun& prepare, const std::string& scheme, long cells)
{
    std::string why;
    const std::optional<ExperimentState> s = prepare(scheme, cells, false, why);
    if (!s)
        return std::nullopt;
    return VelocityFloorWarning(*s);
}

StudyResult RunConvergenceStudy(const std::vector<std::string>& schemes, const std::vector<long>& cells,
    const PrepareStudyRun& prepare, int threads, const std::atomic<bool>* cancel, const StudyProgress& progress)
{
    StudyResult result;
    // The largest grids first, so the last runs to finish are short ones.
    std::vector<std::pair<std::size_t, std::size_t>> order;
    for (std::size_t k = 0; k < schemes.size(); ++k)
        for (std::size_t r = 0; r < cells.size(); ++r)
            order.emplace_back(k, r);
    std::stable_sort(order.begin(), order.end(),
        [&](const auto& a, const auto& b) { return cells[a.second] > cells[b.second]; });
    const int total = static_cast<int>(order.size());

    threading::mutex m;
    threading::condition_variable cv;
    std::deque<Job*> done; // finished jobs not yet collected by this thread
    std::vector<threading::thread> workers;
    int running = 0;
    int finishedRuns = 0;
    std::size_t next = 0;
    std::atomic<bool> stop { false }; // a failure stops the rest
    auto cancelled = [&] { return (cancel && cancel->load()) || stop.load(); };
    std::vector<std::unique_ptr<Job>> jobs;

    auto collect = [&](threading::unique_lock<threading::mutex>& lock) {
        while (!done.empty()) {
            Job* j = done.front();
            done.pop_front();
            --running;
            if (!j->run.finished && result.failure.empty() && !j->run.failure.empty()) {
                result.failure = j->run.failure;
                stop = true;
            }
            if (!j->run.finished)
                continue;
            const int count = ++finishedRuns;
            lock.unlock();
            if (progress)
                progress(count, total);
            lock.lock();
        }
    };

    const int width = std::max(1, threads);
    while (true) {
        threading::unique_lock<threading::mutex> lock(m);
        collect(lock);
        if (cancelled() || next == order.size()) {
            if (running == 0)
                break;
            cv.wait(lock, [&] { return !done.empty(); });
            continue;
        }
        if (running >= width) {
            cv.wait(lock, [&] { return !done.empty(); });
            continue;
        }
        lock.unlock();
        const auto [k, r] = order[next++];
        std::string why;
        std::optional<ExperimentState> s = prepare(schemes[k], cells[r], false, why);
        std::optional<exact::ExactSolution> reference;
        if (s)
            reference = referenceOf(*s, why);
        std::optional<ExperimentState> mirrored;
        std::optional<exact::ExactSolution> mirrorReference;
        if (s && reference && StudyKindOf(*s) == StudyKind::SoundWave) {
            mirrored = prepare(schemes[k], cells[r], true, why);
            if (mirrored)
                mirrorReference = referenceOf(*mirrored, why);
            if (mirrorReference && mirrorReference->kind() != exact::ExactKind::Linear) {
                why = "the mirrored sound wave has no exact linear solution: " + mirrorReference->reason();
                mirrorReference.reset();
            }
        }
        if (!s || !reference || (mirrored.has_value() != mirrorReference.has_value())
            || (StudyKindOf(*s) == StudyKind::SoundWave && !mirrored)) {
            result.failure = why.empty() ? "the problem could not be set up" : why;
            stop = true;
            continue;
        }
        auto job = std::make_unique<Job>();
        job->scheme = k;
        job->rung = r;
        job->run.state = std::move(*s);
        job->reference = std::move(*reference);
        if (mirrored) {
            job->mirror = SchemeRun {};
            job->mirror->state = std::move(*mirrored);
            job->mirrorReference = std::move(*mirrorReference);
        }
        Job* j = job.get();
        jobs.push_back(std::move(job));
        lock.lock();
        ++running;
        lock.unlock();
        workers.emplace_back([&, j] {
            runJob(*j, cancel);
            threading::lock_guard<threading::mutex> g(m);
            done.push_back(j);
            cv.notify_all();
        });
    }
    for (threading::thread& t : workers)
        t.join();

    result.cancelled = cancel && cancel->load();
    if (!jobs.empty())
        result.kind = jobs.front()->kind;
    // Rows by scheme as asked, then by resolution as asked.
    for (std::size_t k = 0; k < schemes.size(); ++k) {
        long prevCells = 0;
        double prevError = std::numeric_limits<double>::quiet_NaN();
        for (std::size_t r = 0; r < cells.size(); ++r) {
            const auto it = std::find_if(
                jobs.begin(), jobs.end(), [&](const auto& j) { return j->scheme == k && j->rung == r; });
            if (it == jobs.end() || !(*it)->run.finished)
                continue;
            const Job& j = **it;
            StudyRow row;
            row.scheme = j.run.state.SchemeName;
            row.cells = cells[r];
            row.errors = j.errors;
            row.floored = row.orderError(result.kind) <= j.floor;
            row.order = LocalOrder(prevCells, prevError, row.cells, row.orderError(result.kind));
            row.seconds = j.run.seconds;
            row.cellUpdatesPerSecond
                = j.run.seconds > 0 ? static_cast<double>(j.run.acceptedSteps) * row.cells / j.run.seconds : 0.0;
            prevCells = row.cells;
            prevError = row.orderError(result.kind);
            result.rows.push_back(row);
        }
        // Rounding only grows with the cells while the scheme's error falls:
        // once a resolution reaches the floor, every finer one stands there.
        std::vector<StudyRow*> mine;
        for (StudyRow& row : result.rows)
            if (row.scheme == kernels::findScheme(schemes[k])->name)
                mine.push_back(&row);
        std::sort(
            mine.begin(), mine.end(), [](const StudyRow* a, const StudyRow* b) { return a->cells < b->cells; });
        for (std::size_t i = 1; i < mine.size(); ++i)
            mine[i]->floored = mine[i]->floored || mine[i - 1]->floored;
    }
    return result;
}

} // namespace tamrel::compare
