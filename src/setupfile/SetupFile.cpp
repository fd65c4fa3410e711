// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupfile/SetupFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <optional>

#include "common/Format.h"
#include "common/RegularFile.h"
#include "common/Rounding.h"
#include "state/Boundaries.h"
#include "common/StagedFile.h"
#include "edit/GridParameters.h"

namespace tamrel {

namespace {

    constexpr std::string_view kLineEnd = "\r\n";
    constexpr std::string_view kGotInstead = "got instead ";

    constexpr std::array<std::string_view, 13> kKeys
        = { "NDifferenceScheme", "NGridCells", "SoundSpeed0", "CourantNumber", "RhoMax", "RhoMin", "PMax", "PMin",
              "VXMax", "VXMin", "Periods", "NPlotsPerPeriod", "NSelected" };
    // Optional keys between NSelected and the empty line.
    constexpr std::string_view kTStopKey = "TStop";
    constexpr std::string_view kMnBdryKey = "MnBdry";
    constexpr std::string_view kMxBdryKey = "MxBdry";
    // Keys whose values are whole numbers.
    constexpr std::array<bool, 13> kWholeKey
        = { true, true, false, false, false, false, false, false, false, false, false, true, true };
    constexpr std::array<std::string_view, 5> kHeader = { "MSelected", "X", "Rho", "P", "VX" };
    constexpr std::array<int, 5> kHeaderColumns = { 1, 20, 45, 70, 95 };
    constexpr std::array<int, 5> kRowColumns = { 1, 15, 40, 65, 90 };
    constexpr int kValueColumn = 25;

    // A line longer than this is no set-up line; reading stops there rather than
    // taking an endless line into memory.
    constexpr std::size_t kMaxLineLength = std::size_t { 1 } << 20;

    // ---------------------------------------------------------------------------
    // Writing

    void padTo(std::string& line, int column)
    {
        if (line.size() < static_cast<std::size_t>(column - 1))
            line.append(static_cast<std::size_t>(column - 1) - line.size(), ' ');
    }

    // A sign place, the digits and one blank.
    std::string signedField(bool negative, const std::string& digits)
    {
        std::string field(1, negative ? '-' : ' ');
        field += digits;
        field += ' ';
        return field;
    }

    // As many digits as make the number read back exactly: a file written
    // and read again gives the very same set-up.
    std::string numberField(double v)
    {
        return signedField(v < 0, formatExact(std::fabs(v)));
    }

    std::string wholeField(long v)
    {
        const long long w = v;
        return signedField(w < 0, std::to_string(w < 0 ? -w : w));
    }

    std::string keyLine(std::string_view key, const std::string& value)
    {
        std::string line(key);
        padTo(line, kValueColumn);
        return line + value + std::string(kLineEnd);
    }

    // ---------------------------------------------------------------------------
    // Reading

    // Lines of a text, ending at CR LF, LF or CR.
    class LineSource {
    public:
        virtual ~LineSource() = default;
        // The next line, or nullopt at the end of the text (or past a line too
        // long to be one of ours: then tooLong()).
        virtual std::optional<std::string> next() = 0;
        bool tooLong() const { return tooLong_; }

    protected:
        bool tooLong_ = false;
    };

    class TextLines : public LineSource {
    public:
        explicit TextLines(std::string_view text)
            : text_(text)
        {
        }
        std::optional<std::string> next() override
        {
            if (pos_ >= text_.size())
                return std::nullopt;
            std::size_t end = pos_;
            while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n')
                ++end;
            std::string line(text_.substr(pos_, end - pos_));
            pos_ = end;
            if (pos_ < text_.size() && text_[pos_] == '\r') {
                ++pos_;
                if (pos_ < text_.size() && text_[pos_] == '\n')
                    ++pos_;
            } else if (pos_ < text_.size() && text_[pos_] == '\n') {
                ++pos_;
            }
            return line;
        }

    private:
        std::string_view text_;
        std::size_t pos_ = 0;
    };

    class StreamLines : public LineSource {
    public:
        explicit StreamLines(std::istream& in)
            : in_(in)
        {
        }
        std::optional<std::string> next() override
        {
            std::string line;
            int c = in_.get();
            if (c == std::char_traits<char>::eof())
                return std::nullopt;
            while (c != std::char_traits<char>::eof() && c != '\r' && c != '\n') {
                if (line.size() >= kMaxLineLength) {
                    tooLong_ = true;
                    return std::nullopt;
                }
                line.push_back(static_cast<char>(c));
                c = in_.get();
            }
            if (c == '\r' && in_.peek() == '\n')
                in_.get();
            return line;
        }

    private:
        std::istream& in_;
    };

    bool isBlank(char c)
    {
        return c == ' ' || c == '\t';
    }

    // Fields separated by one or more blanks or by a comma (with blanks either
    // side); leading blanks are skipped. Two commas in a row enclose an empty field.
    std::vector<std::string> splitFields(std::string_view line)
    {
        std::vector<std::string> fields;
        std::size_t i = 0;
        while (i < line.size() && isBlank(line[i]))
            ++i;
        if (i == line.size())
            return fields;
        for (;;) {
            const std::size_t start = i;
            while (i < line.size() && !isBlank(line[i]) && line[i] != ',')
                ++i;
            fields.emplace_back(line.substr(start, i - start));
            while (i < line.size() && isBlank(line[i]))
                ++i;
            if (i == line.size())
                break;
            if (line[i] == ',') {
                ++i;
                while (i < line.size() && isBlank(line[i]))
                    ++i;
                if (i == line.size()) {
                    fields.emplace_back();
                    break;
                }
            }
        }
        return fields;
    }

    std::string checkText(std::string_view expected)
    {
        return "I expected to read the string '" + std::string(expected) + "' but ";
    }

    std::string rejection(const std::string& check, std::string_view got)
    {
        return check + std::string(kGotInstead) + std::string(got) + std::string(kLineEnd)
            + std::string(kSetupRejectTail);
    }

    SetupReadResult silent()
    {
        return {};
    }

    SetupReadResult rejected(std::string message, int line = 0)
    {
        SetupReadResult r;
        r.status = SetupReadStatus::Rejected;
        r.message = std::move(message);
        r.line = line;
        return r;
    }

    // A number that is whole and within a Long.
    bool isWhole(double v)
    {
        return v == std::nearbyint(v) && v >= -2147483648.0 && v <= 2147483647.0;
    }

    std::string plain(double v)
    {
        return formatGeneral(v);
    }

    // The checks on the thirteen parameters; the table's size depends on them,
    // so they come before any row is read.
    std::string checkParameters(const SetupData& d)
    {
        if (d.NGridCells < kMinGridCells || d.NGridCells > kMaxRunGridCells)
            return rejection("I expected to read a number of grid cells from 6 to 5000 for 'NGridCells' but ",
                plain(d.NGridCells));
        if (!(d.SoundSpeed0 > 0))
            return rejection("I expected to read a positive number for 'SoundSpeed0' but ", plain(d.SoundSpeed0));
        if (!(d.CourantNumber >= kMinCourantNumber && d.CourantNumber < 1))
            return rejection(
                "I expected to read a number " + std::string(kCourantRangeText) + " for 'CourantNumber' but ",
                plain(d.CourantNumber));
        if (!(d.Periods > 0))
            return rejection("I expected to read a positive number for 'Periods' but ", plain(d.Periods));
        const std::pair<double, const char*> ranges[] = { { d.RhoMax, "RhoMax" }, { d.RhoMin, "RhoMin" },
            { d.PMax, "PMax" }, { d.PMin, "PMin" }, { d.VXMax, "VXMax" }, { d.VXMin, "VXMin" } };
        // The ranges the rebuild derives from table values of up to 1E+300,
        // 5 percent beyond them, must read back too.
        for (const auto& [value, key] : ranges)
            if (!(std::fabs(value) <= 1e302))
                return rejection(
                    "I expected to read a number of at most 1E+302 for '" + std::string(key) + "' but ",
                    plain(value));
        if (d.NPlotsPerPeriod < 1)
            return rejection(
                "I expected to read a positive whole number for 'NPlotsPerPeriod' but ", plain(d.NPlotsPerPeriod));
        // The history the rebuild allocates: at least one row, within memory.
        const std::int64_t most = MaxRunPlotsTotal(d.NGridCells);
        const std::string range = "from 1 to " + plain(static_cast<double>(most)) + " snapshots";
        if (d.NPlotsPerPeriod > most)
            return rejection("I expected to read a snapshot rate giving " + range + " for 'NPlotsPerPeriod' but ",
                plain(d.NPlotsPerPeriod));
        const std::int64_t rows = PlotsTotalFor(static_cast<double>(d.NPlotsPerPeriod), d.Periods);
        if (rows < 1 || !RunHistoryFits(d.NGridCells, rows))
            return rejection("I expected to read a number of time units giving " + range + " for 'Periods' but ",
                plain(d.Periods));
        // A stop time so small that its share of the least snapshot count
        // underflows to 0 would leave the run no snapshot interval.
        if (d.TStop && !(*d.TStop >= 1e-300 && *d.TStop <= 1e300))
            return rejection(
                "I expected to read a positive stop time from 1E-300 to 1E+300 for 'TStop' but ", plain(*d.TStop));
        for (const auto& [type, key] : { std::pair { d.MnBdry, kMnBdryKey }, std::pair { d.MxBdry, kMxBdryKey } })
            if (type && !IsOfferedBoundaryCode(*type))
                return rejection("I expected to read a boundary type 1 (reflecting), 2 (continuation) or 4 "
                                 "(periodic) for '"
                        + std::string(key) + "' but ",
                    plain(*type));
        if (d.NSelected < 0 || d.NSelected > d.NGridCells)
            return rejection("I expected to read a number of selected cells from 0 to " + plain(d.NGridCells)
                    + " for 'NSelected' but ",
                plain(d.NSelected));
        return {};
    }

    // What the rebuild and the first time step derive from the table, which
    // must all be finite and positive: the sound speed and the energy of every
    // entry (the grid between two entries is their linear interpolation, so
    // its densities, pressures, velocities and P/Rho stay within the two
    // entries' and the energies within the largest density times the largest
    // squared velocity), the plot ranges the rebuild widens by 5 percent
    // about them, the first time step and the time scales.
    std::string checkDerived(const SetupData& d)
    {
        const double gamma = ExperimentState {}.Gamma;
        const std::size_t entries = d.MSelected.size();
        auto entry = [](std::size_t j) { return " of entry " + plain(static_cast<double>(j)) + " but "; };
        // Positions 1.05 times as large, and their differences, must stay finite.
        constexpr double kLargest = 1e300;
        // The history stores every value in single precision, and four of
        // the five schemes compute in it: densities, pressures and speeds
        // within 1E-30..1E+30, energies and their fluxes below 1E+36, leave
        // room below its largest number (3.4E+38) for a shock's compression.
        constexpr double kSingleSmallest = 1e-30, kSingleLargest = 1e30, kSingleFlux = 1e36;
        const std::string single = " (the single-precision range of the history and the 32-bit schemes)";
        double fastest = 0, slowestSound = INFINITY, fastestSound = 0, previousSound = 0;
        for (std::size_t j = 0; j < entries; ++j) {
            const double rho = d.RhoSelected[j], p = d.PSelected[j], u = d.VXSelected[j];
            if (!(std::fabs(d.XSelected[j]) <= kLargest))
                return rejection(
                    "I expected to read a position of at most 1E+300 for 'X'" + entry(j), plain(d.XSelected[j]));
            if (!(rho >= kSingleSmallest && rho <= kSingleLargest))
                return rejection(
                    "I expected to read a density from 1E-30 to 1E+30" + single + " for 'Rho'" + entry(j),
                    plain(rho));
            if (!(p >= kSingleSmallest && p <= kSingleLargest))
                return rejection(
                    "I expected to read a pressure from 1E-30 to 1E+30" + single + " for 'P'" + entry(j),
                    plain(p));
            if (!(std::fabs(u) <= kSingleLargest))
                return rejection(
                    "I expected to read a velocity of at most 1E+30 in size" + single + " for 'VX'" + entry(j),
                    plain(u));
            const double c = std::sqrt(gamma * p / rho);
            if (!(c > 0) || !(c <= kSingleLargest))
                return rejection("I expected to read a pressure giving a positive sound speed "
                                 "sqrt(Gamma P / Rho) of at most 1E+30"
                        + single + " for 'P'" + entry(j),
                    plain(p));
            const double speed = std::fabs(u) + c;
            const double energy = p / (gamma - 1) + 0.5 * rho * u * u;
            if (!(speed <= kSingleLargest) || !(energy <= kSingleFlux) || !(energy * speed <= kSingleFlux))
                return rejection("I expected to read a pressure and a velocity giving an energy P/(Gamma-1) + "
                                 "Rho VX^2/2 and its flux below 1E+36"
                        + single + " for 'P' and 'VX'" + entry(j),
                    plain(p) + " and " + plain(u));
            if (j > 0) {
                const double rhoMost = std::max(rho, d.RhoSelected[j - 1]);
                const double uMost = std::max(std::fabs(u), std::fabs(d.VXSelected[j - 1]));
                if (!(rhoMost * uMost * uMost * (uMost + std::max(c, previousSound)) <= kSingleFlux))
                    return rejection(
                        "I expected to read a velocity giving an energy flux below 1E+36 between this entry "
                        "and the one before"
                            + single + " for 'VX'" + entry(j),
                        plain(u));
            }
            previousSound = c;
            fastest = std::max(fastest, speed);
            slowestSound = std::min(slowestSound, c);
            fastestSound = std::max(fastestSound, c);
        }

        // The first time step, a tenth of the Courant number on the grid of
        // N equal cells, and the time scales from the sound speed of cell 1.
        const double dx = 1.0 / d.NGridCells;
        const double w = std::min(dx / d.SoundSpeed0, dx / fastest);
        const double dt = d.CourantNumber * 0.1 * w;
        if (!(dt > 0) || !std::isfinite(dt))
            return rejection("I expected to read a reference sound speed giving a positive first time step for "
                             "'SoundSpeed0' but ",
                plain(d.SoundSpeed0));
        const double longestUnit = 1 / slowestSound, shortestUnit = 1 / fastestSound;
        if (!std::isfinite(d.Periods * longestUnit) || !(d.Periods * shortestUnit > 0)
            || !(shortestUnit / d.NPlotsPerPeriod > 0))
            return rejection("I expected to read a number of time units giving a finite, positive stop time for "
                             "'Periods' but ",
                plain(d.Periods));
        return {};
    }

    std::string checkTable(const SetupData& d)
    {
        const Long n = d.NGridCells;
        const std::size_t entries = static_cast<std::size_t>(d.NSelected) + 2;
        if (d.MSelected.size() != entries || d.XSelected.size() != entries || d.RhoSelected.size() != entries
            || d.PSelected.size() != entries || d.VXSelected.size() != entries)
            return rejection("I expected to read " + plain(static_cast<double>(entries))
                    + " rows of selected cells for 'NSelected' but ",
                plain(static_cast<double>(d.MSelected.size())));
        if (d.MSelected[0] != 0)
            return rejection(
                "I expected to read the cell number 0 for 'MSelected' of entry 0 but ", plain(d.MSelected[0]));
        for (Long j = 1; j <= d.NSelected; ++j) {
            const Long lowest = d.MSelected[static_cast<std::size_t>(j - 1)] + 1;
            const Long m = d.MSelected[static_cast<std::size_t>(j)];
            if (m < std::max<Long>(1, lowest) || m > n)
                return rejection("I expected to read a cell number from " + plain(std::max<Long>(1, lowest))
                        + " to " + plain(n) + " for 'MSelected' of entry " + plain(j) + " but ",
                    plain(m));
        }
        const Long last = d.NSelected + 1;
        if (d.MSelected[static_cast<std::size_t>(last)] != n + 1)
            return rejection("I expected to read the cell number " + plain(n + 1) + " for 'MSelected' of entry "
                    + plain(last) + " but ",
                plain(d.MSelected[static_cast<std::size_t>(last)]));
        for (std::size_t j = 0; j < entries; ++j) {
            if (!(d.RhoSelected[j] > 0))
                return rejection("I expected to read a positive density for 'Rho' of entry "
                        + plain(static_cast<double>(j)) + " but ",
                    plain(d.RhoSelected[j]));
            if (!(d.PSelected[j] > 0))
                return rejection("I expected to read a positive pressure for 'P' of entry "
                        + plain(static_cast<double>(j)) + " but ",
                    plain(d.PSelected[j]));
        }
        return checkDerived(d);
    }

    // "0,85" read as two fields: a whole number, a comma and digits alone,
    // as a decimal comma writes a number.
    bool decimalComma(std::string_view line, const std::string& field, const std::string& next)
    {
        auto digits = [](const std::string& t, bool sign) {
            return !t.empty() && std::all_of(t.begin(), t.end(), [&](char c) {
                return (c >= '0' && c <= '9') || (sign && (c == '-' || c == '+'));
            });
        };
        return digits(field, true) && digits(next, false)
            && line.find(field + "," + next) != std::string_view::npos;
    }

    // Reads the file line by line, counting lines from 1, and says for each
    // line what it was expected to hold when it does not.
    class SetupLines {
    public:
        explicit SetupLines(LineSource& lines)
            : lines_(lines)
        {
        }
        std::optional<std::string> next()
        {
            ++number_;
            return lines_.next();
        }
        int number() const { return number_; }
        std::string on() const { return " on line " + std::to_string(number_); }
        // The line that did not come: the end of the file, or one too long.
        SetupReadResult missing(const std::string& expected) const
        {
            return rejected(
                rejection("I expected to read " + expected + on() + " but ",
                    lines_.tooLong() ? "a line longer than " + std::to_string(kMaxLineLength) + " characters"
                                     : std::string("the end of the file")),
                number_);
        }
        // A field that is no number: a comma between two digit groups reads
        // as a decimal comma, which the file does not use.
        SetupReadResult notANumber(
            const std::string& what, std::string_view line, std::string_view field, const std::string& next) const
        {
            const std::string comma = std::string(field) + "," + next;
            if (decimalComma(line, std::string(field), next))
                return rejected(rejection("I expected to read a number with a period as its decimal point (a "
                                          "comma separates fields) for "
                                        + what + on() + " but ",
                                    comma),
                    number_);
            return rejected(rejection("I expected to read a number for " + what + on() + " but ",
                                field.empty() ? "nothing" : std::string(field)),
                number_);
        }

    private:
        LineSource& lines_;
        int number_ = 0;
    };

    SetupReadResult readSetup(LineSource& source)
    {
        SetupReadResult result;
        SetupData& d = result.data;
        SetupLines lines(source);
        auto at = [&](SetupReadResult r) {
            r.line = lines.number();
            return r;
        };

        // The value of a key line: its second field, a number (a whole one
        // where `whole`), or the refusal that says what it holds instead.
        struct KeyValue {
            double value = 0;
            std::vector<SetupReadResult> refusal; // empty, or the one refusal
        };
        auto keyValue = [&](const std::string& quoted, const std::string& line,
                            const std::vector<std::string>& fields, bool whole) {
            KeyValue r;
            const std::string next = fields.size() > 2 ? fields[2] : "";
            const auto v = fields.size() < 2 ? std::nullopt : parseNumber(fields[1]);
            if (!v || decimalComma(line, fields[1], next))
                r.refusal.push_back(lines.notANumber(quoted, line, fields.size() < 2 ? "" : fields[1], next));
            else if (whole && !isWhole(*v))
                r.refusal.push_back(
                    at(rejected(rejection("I expected to read a whole number for " + quoted + " but ", fields[1]))));
            else
                r.value = *v;
            return r;
        };

        // Thirteen key lines: the key, then its value.
        std::array<double, 13> values {};
        for (std::size_t k = 0; k < kKeys.size(); ++k) {
            const std::string quoted = "'" + std::string(kKeys[k]) + "'";
            const auto line = lines.next();
            if (!line)
                return lines.missing("the string " + quoted);
            const auto fields = splitFields(*line);
            const std::string key = fields.empty() ? std::string() : fields[0];
            if (key != kKeys[k])
                return at(rejected(rejection(checkText(kKeys[k]), key)));
            const auto v = keyValue(quoted, *line, fields, kWholeKey[k]);
            if (!v.refusal.empty())
                return v.refusal.front();
            values[k] = v.value;
        }
        d.NDifferenceScheme = roundToLong(values[0]);
        d.NGridCells = roundToLong(values[1]);
        d.SoundSpeed0 = values[2];
        d.CourantNumber = values[3];
        d.RhoMax = values[4];
        d.RhoMin = values[5];
        d.PMax = values[6];
        d.PMin = values[7];
        d.VXMax = values[8];
        d.VXMin = values[9];
        d.Periods = values[10];
        d.NPlotsPerPeriod = roundToLong(values[11]);
        d.NSelected = roundToLong(values[12]);

        // The optional keys, then the separator: empty, or blanks alone.
        for (;;) {
            const auto line = lines.next();
            if (!line)
                return lines.missing("the null string");
            const auto fields = splitFields(*line);
            if (fields.empty())
                break;
            const std::string& key = fields[0];
            const bool stop = key == kTStopKey && !d.TStop;
            const bool left = key == kMnBdryKey && !d.MnBdry;
            const bool right = key == kMxBdryKey && !d.MxBdry;
            if (!stop && !left && !right)
                return at(rejected(rejection("I expected to read the null string but ", *line)));
            const auto v = keyValue("'" + key + "'", *line, fields, !stop);
            if (!v.refusal.empty())
                return v.refusal.front();
            if (stop)
                d.TStop = v.value;
            else
                (left ? d.MnBdry : d.MxBdry) = roundToLong(v.value);
        }

        // The header: all five words are reported together when any is wrong.
        const auto header = lines.next();
        if (!header)
            return lines.missing("the table header 'MSelected X Rho P VX'");
        const auto words = splitFields(*header);
        bool headerOk = words.size() >= kHeader.size();
        for (std::size_t i = 0; headerOk && i < kHeader.size(); ++i)
            headerOk = words[i] == kHeader[i];
        if (!headerOk) {
            std::string message;
            for (std::size_t i = 0; i < kHeader.size(); ++i)
                message += checkText(kHeader[i]) + std::string(kGotInstead) + (i < words.size() ? words[i] : "")
                    + std::string(kLineEnd);
            return at(rejected(message + std::string(kSetupRejectTail)));
        }

        // The counts decide how much is read, so they are checked first.
        if (auto message = checkParameters(d); !message.empty())
            return rejected(std::move(message));

        const std::size_t entries = static_cast<std::size_t>(d.NSelected) + 2;
        d.MSelected.reserve(entries);
        for (auto* v : { &d.XSelected, &d.RhoSelected, &d.PSelected, &d.VXSelected })
            v->reserve(entries);
        for (std::size_t j = 0; j < entries; ++j) {
            const std::string entry = " of entry " + plain(static_cast<double>(j));
            const auto line = lines.next();
            if (!line)
                return lines.missing("the five values 'MSelected', 'X', 'Rho', 'P' and 'VX'" + entry);
            const auto fields = splitFields(*line);
            if (fields.size() < 5)
                return at(rejected(rejection("I expected to read the five values 'MSelected', 'X', 'Rho', 'P' and "
                                             "'VX'"
                        + entry + lines.on() + " but ",
                    std::to_string(fields.size()) + " in '" + *line + "'")));
            std::array<double, 5> row {};
            for (std::size_t i = 0; i < row.size(); ++i) {
                const std::string next = i + 1 < fields.size() ? fields[i + 1] : "";
                const auto v = parseNumber(fields[i]);
                const std::string extra = fields.size() > 5 ? next : "";
                if (!v || decimalComma(*line, fields[i], extra))
                    return lines.notANumber("'" + std::string(kHeader[i]) + "'" + entry, *line, fields[i], extra);
                row[i] = *v;
            }
            if (!isWhole(row[0]))
                return at(rejected(rejection("I expected to read a whole cell number for 'MSelected' of entry "
                        + plain(static_cast<double>(j)) + " but ",
                    fields[0])));
            d.MSelected.push_back(static_cast<Long>(row[0]));
            d.XSelected.push_back(row[1]);
            d.RhoSelected.push_back(row[2]);
            d.PSelected.push_back(row[3]);
            d.VXSelected.push_back(row[4]);
        }

        if (auto message = checkTable(d); !message.empty())
            return rejected(std::move(message));
        result.status = SetupReadStatus::Ok;
        return result;
    }

} // namespace

std::string WriteSetupText(const ExperimentState& s)
{
    std::string out;
    out += keyLine(kKeys[0], wholeField(s.NDifferenceScheme));
    out += keyLine(kKeys[1], wholeField(s.NGridCells));
    out += keyLine(kKeys[2], numberField(s.SoundSpeed0));
    out += keyLine(kKeys[3], numberField(s.CourantNumber));
    out += keyLine(kKeys[4], numberField(s.RhoMax));
    out += keyLine(kKeys[5], numberField(s.RhoMin));
    out += keyLine(kKeys[6], numberField(s.PMax));
    out += keyLine(kKeys[7], numberField(s.PMin));
    out += keyLine(kKeys[8], numberField(s.VXMax));
    out += keyLine(kKeys[9], numberField(s.VXMin));
    out += keyLine(kKeys[10], numberField(s.Periods));
    out += keyLine(kKeys[11], wholeField(s.NPlotsPerPeriod));
    out += keyLine(kKeys[12], wholeField(s.NSelected));
    out += keyLine(kTStopKey, numberField(s.TStop));
    out += keyLine(kMnBdryKey, wholeField(s.MnBdry));
    out += keyLine(kMxBdryKey, wholeField(s.MxBdry));
    out += kLineEnd;

    std::string header;
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        padTo(header, kHeaderColumns[i]);
        header += kHeader[i];
    }
    out += header + std::string(kLineEnd);

    for (Long j = 0; j <= s.NSelected + 1; ++j) {
        // Only the entries the table holds; a table shorter than NSelected
        // claims gives a short file, which the reader refuses.
        if (!s.MSelected.contains(j) || !s.XSelected.contains(j) || !s.RhoSelected.contains(j)
            || !s.PSelected.contains(j) || !s.VXSelected.contains(j))
            break;
        const std::array<std::string, 5> fields = { wholeField(s.MSelected[j]), numberField(s.XSelected[j]),
            numberField(s.RhoSelected[j]), numberField(s.PSelected[j]), numberField(s.VXSelected[j]) };
        std::string row;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            padTo(row, kRowColumns[i]);
            row += fields[i];
        }
        out += row + std::string(kLineEnd);
    }
    return out;
}

bool WriteSetupFile(const ExperimentState& s, const std::string& path)
{
    // Written beside the target and renamed onto it: a write that fails
    // half-way leaves the file that was there.
    const std::string text = WriteSetupText(s);
    StagedFile staged(path);
    if (!staged.ok())
        return false;
    std::ofstream out(staged.temporaryPath(), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail() && staged.commit();
}

SetupReadResult ReadSetupText(std::string_view text)
{
    TextLines lines(text);
    return readSetup(lines);
}

SetupReadResult ReadSetupFile(const std::string& path)
{
    // Only a regular file is a set-up: a FIFO would wait for a writer, a
    // device could stream for ever, a folder reads as nothing.
    RegularFileReader file(path);
    if (!file.notRegular().empty())
        return rejected(rejection("I expected to read a regular file but ", file.notRegular()));
    if (!file.isOpen())
        return silent();
    StreamLines lines(file.stream());
    return readSetup(lines);
}

std::string CheckSetupData(const SetupData& d)
{
    if (auto message = checkParameters(d); !message.empty())
        return message;
    return checkTable(d);
}

bool CommitSetup(ExperimentState& s, const SetupData& d)
{
    if (!CheckSetupData(d).empty())
        return false;

    s.NSelected = d.NSelected;
    const long up = static_cast<long>(d.NGridCells) + 2;
    s.MSelected.resizeKeep(0, up);
    for (auto* a : { &s.XSelected, &s.RhoSelected, &s.PSelected, &s.VXSelected })
        a->resizeKeep(0, up);
    for (std::size_t j = 0; j < d.MSelected.size(); ++j) {
        const long k = static_cast<long>(j);
        s.MSelected[k] = d.MSelected[j];
        s.XSelected[k] = d.XSelected[j];
        s.RhoSelected[k] = d.RhoSelected[j];
        s.PSelected[k] = d.PSelected[j];
        s.VXSelected[k] = d.VXSelected[j];
    }
    s.NDifferenceScheme = d.NDifferenceScheme;
    s.SoundSpeed0 = d.SoundSpeed0;
    s.CourantNumber = d.CourantNumber;
    s.RhoMax = d.RhoMax;
    s.RhoMin = d.RhoMin;
    s.PMax = d.PMax;
    s.PMin = d.PMin;
    s.VXMax = d.VXMax;
    s.VXMin = d.VXMin;
    s.Periods = d.Periods;
    s.NPlotsPerPeriod = d.NPlotsPerPeriod;
    s.NGridCells = d.NGridCells;
    s.ProblemTStop = d.TStop.value_or(0.0);
    if (d.TStop)
        s.TStop = *d.TStop;
    if (d.MnBdry)
        s.MnBdry = *d.MnBdry;
    if (d.MxBdry)
        s.MxBdry = *d.MxBdry;

    // A set-up read during or after a run starts its problem afresh, so the
    // rebuild replays every entry rather than refusing them at a late time.
    s.TimeNow = 0;
    s.Stopped = 1;
    return true;
}

} // namespace tamrel
