// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/LabSheetReader.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <set>

#include "common/RegularFile.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"
#include "ui/window/BatchSupport.h"

namespace tamrel {

namespace {

    using namespace sheets;

    // A refusal thrown from deep inside the reading, caught once.
    struct Refused {
        SheetRefusal refusal;
    };

    [[noreturn]] void refuse(const std::string& key, const std::string& reason)
    {
        throw Refused { { key, reason } };
    }

    std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    std::string describe(const QJsonValue& v)
    {
        switch (v.type()) {
        case QJsonValue::Null:
            return "null";
        case QJsonValue::Bool:
            return v.toBool() ? "true" : "false";
        case QJsonValue::Double:
            return num(v.toDouble());
        case QJsonValue::String:
            return "\"" + v.toString().toStdString() + "\"";
        case QJsonValue::Array:
            return v.toArray().isEmpty() ? "an empty list" : "a list";
        case QJsonValue::Object:
            return "an object";
        default:
            return "nothing";
        }
    }

    // One JSON object and where it stands in the sheet ("" for the top,
    // "problem", "checks[2]").
    class Fields {
    public:
        Fields(QJsonObject object, std::string where)
            : o(std::move(object))
            , at(std::move(where))
        {
        }

        // A name may hold any character, a NUL too: it is not cut there.
        std::string key(const std::string& name) const { return at.empty() ? name : at + "." + name; }
        bool has(const char* name) const { return o.contains(QLatin1String(name)); }
        QJsonValue value(const char* name) const { return o.value(QLatin1String(name)); }

        // Every key must be one of `known`.
        void onlyKeys(std::initializer_list<const char*> known, const std::string& what) const
        {
            for (const QString& k : o.keys()) {
                bool found = false;
                for (const char* n : known)
                    found = found || k == QLatin1String(n);
                if (!found) {
                    std::string list;
                    for (const char* n : known)
                        list += (list.empty() ? "" : ", ") + std::string(n);
                    refuse(key(k.toStdString()),
                        "unknown key" + (what.empty() ? "" : " " + what) + " (known: " + list + ")");
                }
            }
        }

        void require(const char* name) const
        {
            if (!has(name))
                refuse(key(name), "missing");
        }

        std::string text(const char* name) const
        {
            require(name);
            const QJsonValue v = value(name);
            if (!v.isString() || v.toString().trimmed().isEmpty())
                refuse(key(name), "must be a text, not " + describe(v));
            return v.toString().toStdString();
        }

        double number(const char* name) const
        {
            require(name);
            const QJsonValue v = value(name);
            if (!v.isDouble() || !std::isfinite(v.toDouble()))
                refuse(key(name), "must be a number, not " + describe(v));
            return v.toDouble();
        }

        double positive(const char* name) const
        {
            require(name);
            const QJsonValue v = value(name);
            if (!v.isDouble() || !(v.toDouble() > 0) || !std::isfinite(v.toDouble()))
                refuse(key(name), "must be a positive number, not " + describe(v));
            return v.toDouble();
        }

        long whole(const char* name, long low, long high) const
        {
            const double v = number(name);
            if (v != std::floor(v) || v < static_cast<double>(low) || v > static_cast<double>(high))
                refuse(key(name),
                    "must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) + ", not "
                        + num(v));
            return static_cast<long>(v);
        }

        QJsonArray list(const char* name) const
        {
            require(name);
            const QJsonValue v = value(name);
            if (!v.isArray() || v.toArray().isEmpty())
                refuse(key(name), "must be a list that is not empty, not " + describe(v));
            return v.toArray();
        }

        Fields object(const char* name) const
        {
            require(name);
            const QJsonValue v = value(name);
            if (!v.isObject())
                refuse(key(name), "must be an object, not " + describe(v));
            return Fields(v.toObject(), key(name));
        }

        QJsonObject o;
        std::string at;
    };

    std::string schemeNamed(const std::string& key, const QJsonValue& v)
    {
        const std::string name = v.toString().toStdString();
        const kernels::SchemeInfo* s = v.isString() ? kernels::findScheme(name) : nullptr;
        if (!s)
            refuse(key, "unknown scheme " + describe(v) + " (choose " + kernels::schemeNamesPhrase() + ")");
        return std::string(s->name);
    }

    Problem readProblem(const Fields& top, const std::string& sheetPath)
    {
        const Fields f = top.object("problem");
        f.onlyKeys({ "test", "sound_wave", "setup" }, "in the problem");
        const int given = int(f.has("test")) + int(f.has("sound_wave")) + int(f.has("setup"));
        if (given != 1)
            refuse(f.at,
                given == 0 ? "missing: give one of test, sound_wave or setup"
                           : "give one problem only: test, sound_wave or setup");
        Problem p;
        if (f.has("test"))
            p.test = static_cast<int>(f.whole("test", 1, kShockTubeTestCount));
        if (f.has("sound_wave")) {
            const QJsonArray a = f.list("sound_wave");
            if (a.size() != 7)
                refuse(f.key("sound_wave"), "needs seven numbers: A+, k+, A-, k-, A0, k0, u0");
            for (int i = 0; i < 7; ++i) {
                const QJsonValue v = a.at(i);
                const std::string k = f.key("sound_wave") + "[" + std::to_string(i) + "]";
                if (!v.isDouble() || !std::isfinite(v.toDouble()))
                    refuse(k, "must be a number, not " + describe(v));
                const bool waveNumber = i == 1 || i == 3 || i == 5;
                if (waveNumber && (v.toDouble() != std::floor(v.toDouble()) || v.toDouble() < 1))
                    refuse(k, "a wave number must be a whole number from 1 up, not " + describe(v));
                p.wave.push_back(v.toDouble());
            }
        }
        if (f.has("setup")) {
            const std::string name = f.text("setup");
            QFileInfo file(QString::fromStdString(name));
            if (file.isRelative())
                file = QFileInfo(
                    QFileInfo(QString::fromStdString(sheetPath)).absoluteDir(), QString::fromStdString(name));
            const std::string path = file.filePath().toStdString();
            if (const auto refusal = batch::checkSetupFile(path))
                refuse(f.key("setup"), *refusal);
            p.setupFile = path;
        }
        return p;
    }

    Variable variableOf(const std::string& key, const QJsonValue& v)
    {
        const QString t = v.toString();
        if (t == QLatin1String("density"))
            return Variable::Density;
        if (t == QLatin1String("pressure"))
            return Variable::Pressure;
        if (t == QLatin1String("velocity"))
            return Variable::Velocity;
        if (t == QLatin1String("fraction"))
            return Variable::Fraction;
        refuse(key, "must be density, pressure, velocity or fraction, not " + describe(v));
    }

    Wave waveOf(const std::string& key, const QJsonValue& v)
    {
        const QString t = v.toString();
        const std::pair<const char*, Wave> waves[] = { { "shock", Wave::Shock }, { "left shock", Wave::LeftShock },
            { "right shock", Wave::RightShock }, { "contact", Wave::Contact }, { "interface", Wave::Interface } };
        for (const auto& [name, w] : waves)
            if (t == QLatin1String(name))
                return w;
        refuse(key, "must be shock, left shock, right shock, contact or interface, not " + describe(v));
    }

    Check readCheck(const QJsonValue& v, int index)
    {
        const std::string at = "checks[" + std::to_string(index) + "]";
        if (!v.isObject())
            refuse(at, "must be an object, not " + describe(v));
        const Fields f(v.toObject(), at);
        Check c;
        c.key = at;
        const std::string kind = f.text("kind");
        const std::string what
            = std::string(kind == "l1" || kind == "order" ? "for an " : "for a ") + kind + " check";
        if (kind == "l1") {
            f.onlyKeys({ "kind", "name", "scheme", "tolerance" }, what);
            c.kind = CheckKind::L1;
            c.tolerance = f.positive("tolerance");
            c.name = "L1 density error";
        } else if (kind == "value") {
            f.onlyKeys({ "kind", "name", "scheme", "x", "t", "variable", "expected", "tolerance" }, what);
            c.kind = CheckKind::Value;
            c.x = f.number("x");
            if (f.has("t") && f.value("t") != QJsonValue(QStringLiteral("TStop"))) {
                const QJsonValue t = f.value("t");
                if (!t.isDouble() || !(t.toDouble() >= 0) || !std::isfinite(t.toDouble()))
                    refuse(f.key("t"), "must be a time from 0 up, or \"TStop\", not " + describe(t));
                c.time = t.toDouble();
            }
            f.require("variable");
            c.variable = variableOf(f.key("variable"), f.value("variable"));
            c.expected = f.number("expected");
            c.tolerance = f.positive("tolerance");
            c.name = std::string(variableName(c.variable)) + " at x=" + num(c.x)
                + ", t=" + (c.time ? num(*c.time) : std::string("TStop"));
        } else if (kind == "front") {
            f.onlyKeys({ "kind", "name", "scheme", "wave", "expected", "tolerance" }, what);
            c.kind = CheckKind::Front;
            f.require("wave");
            c.wave = waveOf(f.key("wave"), f.value("wave"));
            c.expected = f.number("expected");
            c.tolerance = f.positive("tolerance");
            c.name = std::string(waveName(c.wave)) + " position";
        } else if (kind == "width") {
            f.onlyKeys({ "kind", "name", "scheme", "wave", "expected", "tolerance" }, what);
            c.kind = CheckKind::Width;
            f.require("wave");
            c.wave = waveOf(f.key("wave"), f.value("wave"));
            c.widthExpected = f.has("expected");
            if (c.widthExpected)
                c.expected = f.positive("expected");
            c.tolerance = f.positive("tolerance");
            c.name = std::string(waveName(c.wave)) + " width in x";
        } else if (kind == "volume") {
            f.onlyKeys({ "kind", "name", "scheme", "expected", "tolerance" }, what);
            c.kind = CheckKind::Volume;
            c.expected = f.number("expected");
            c.tolerance = f.positive("tolerance");
            c.name = "fluid-2 volume";
        } else if (kind == "order") {
            f.onlyKeys({ "kind", "name", "schemes", "cells", "min_order" }, what);
            c.kind = CheckKind::Order;
            const QJsonArray schemes = f.list("schemes");
            for (int i = 0; i < schemes.size(); ++i)
                c.schemes.push_back(schemeNamed(f.key("schemes") + "[" + std::to_string(i) + "]", schemes.at(i)));
            const QJsonArray cells = f.list("cells");
            for (int i = 0; i < cells.size(); ++i) {
                const QJsonValue n = cells.at(i);
                if (!n.isDouble() || n.toDouble() != std::floor(n.toDouble()))
                    refuse(f.key("cells") + "[" + std::to_string(i) + "]",
                        "must be a whole number, not " + describe(n));
                c.cells.push_back(static_cast<long>(n.toDouble()));
            }
            c.minOrder = f.positive("min_order");
            std::string names;
            for (const std::string& s : c.schemes)
                names += (names.empty() ? "" : ", ") + s;
            c.name = "order of " + names;
        } else {
            refuse(f.key("kind"), "must be l1, value, front, width, volume or order, not \"" + kind + "\"");
        }
        if (f.has("name"))
            c.name = f.text("name");
        if (f.has("scheme"))
            c.scheme = schemeNamed(f.key("scheme"), f.value("scheme"));
        return c;
    }

    // The check an answer is graded against, by its name; its tolerance is
    // the answer's when the answer gives none and the check has one of the
    // form "expected within tolerance".
    NumericAnswer answerFromCheck(const Fields& f, const std::vector<Check>& checks)
    {
        const std::string name = f.text("check");
        NumericAnswer a;
        int found = 0;
        for (std::size_t i = 0; i < checks.size(); ++i)
            if (checks[i].name == name) {
                a.check = i;
                ++found;
            }
        if (found != 1)
            refuse(f.key("check"),
                found == 0 ? "no check has the name \"" + name + "\""
                           : "several checks have the name \"" + name + "\": give them names of their own");
        const Check& c = checks[a.check];
        const bool plusMinus = c.kind == CheckKind::Value || c.kind == CheckKind::Front
            || c.kind == CheckKind::Volume || (c.kind == CheckKind::Width && c.widthExpected);
        if (f.has("tolerance"))
            a.tolerance = f.positive("tolerance");
        else if (plusMinus)
            a.tolerance = c.tolerance;
        else
            refuse(f.key("tolerance"),
                "missing: the check \"" + name + "\" has no tolerance of the form expected within tolerance");
        return a;
    }

    Question readQuestion(const QJsonValue& v, int index, const std::vector<Check>& checks)
    {
        const std::string at = "questions[" + std::to_string(index) + "]";
        if (v.isString())
            return Question { v.toString().toStdString(), std::nullopt };
        if (!v.isObject())
            refuse(at, "must be a text or an object, not " + describe(v));
        const Fields f(v.toObject(), at);
        f.onlyKeys({ "text", "answer" }, "in a question");
        Question q;
        q.text = f.text("text");
        if (!f.has("answer"))
            return q;
        const Fields a = f.object("answer");
        a.onlyKeys({ "check", "exact", "tolerance" }, "in an answer");
        if (a.has("check") == a.has("exact"))
            refuse(a.at, "give one of check (the check whose measured value grades it) or exact (the value)");
        if (a.has("check")) {
            q.answer = answerFromCheck(a, checks);
        } else {
            q.answer = NumericAnswer {};
            q.answer->exact = a.number("exact");
            q.answer->tolerance = a.positive("tolerance");
        }
        return q;
    }

    LabSheet readSheet(const QJsonObject& object, const std::string& path)
    {
        const Fields top(object, "");
        top.onlyKeys(
            { "title", "questions", "reveal", "problem", "scheme", "cells", "courant", "periods", "checks" }, "");
        LabSheet sheet;
        sheet.file = path;
        sheet.title = top.text("title");
        if (top.has("reveal")) {
            if (!top.value("reveal").isBool())
                refuse("reveal", "must be true or false, not " + describe(top.value("reveal")));
            sheet.reveal = top.value("reveal").toBool();
        }
        sheet.problem = readProblem(top, path);
        top.require("scheme");
        sheet.scheme = schemeNamed("scheme", top.value("scheme"));
        if (sheet.problem.setupFile) {
            for (const char* own : { "cells", "courant", "periods" })
                if (top.has(own))
                    refuse(own, "the set-up file sets its own grid size, Courant number and run length");
        } else {
            sheet.cells = top.whole("cells", 6, 5000);
            if (top.has("courant"))
                sheet.courant = top.positive("courant");
        }
        if (top.has("periods")) {
            if (sheet.problem.test)
                refuse("periods", "a shock-tube test runs to its own stop time");
            sheet.periods = top.positive("periods");
        }
        const QJsonArray checks = top.list("checks");
        for (int i = 0; i < checks.size(); ++i)
            sheet.checks.push_back(readCheck(checks.at(i), i));
        // The questions last: an answer names one of the checks.
        if (top.has("questions")) {
            const QJsonArray q = top.list("questions");
            for (int i = 0; i < q.size(); ++i)
                sheet.questions.push_back(readQuestion(q.at(i), i, sheet.checks));
        }
        return sheet;
    }

    // Qt's reader keeps the last of two members with one name; a sheet
    // names each key once, so the text is walked for a second one. The text
    // is valid JSON already (Qt parsed it), which keeps the walk simple.
    class DoubledKeys {
    public:
        explicit DoubledKeys(const QByteArray& json)
            : p_(json.constData())
            , end_(json.constData() + json.size())
        {
            value("");
        }
        const std::optional<std::string>& found() const { return found_; }

    private:
        void blanks()
        {
            while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r'))
                ++p_;
        }
        std::string text()
        {
            const char* start = p_++;
            bool escaped = false;
            while (p_ < end_ && *p_ != '"') {
                escaped = escaped || *p_ == '\\';
                p_ += *p_ == '\\' ? 2 : 1;
            }
            ++p_;
            if (!escaped)
                return std::string(start + 1, p_ - 1);
            // "\u0074itle" is "title": Qt decodes the escapes.
            const QByteArray one = "[" + QByteArray(start, p_ - start) + "]";
            return QJsonDocument::fromJson(one).array().at(0).toString().toStdString();
        }
        void value(const std::string& at)
        {
            blanks();
            if (p_ >= end_)
                return;
            if (*p_ == '{')
                members(at);
            else if (*p_ == '[')
                items(at);
            else if (*p_ == '"')
                text();
            else
                while (p_ < end_ && !std::strchr(",]} \t\r\n", *p_))
                    ++p_;
        }
        void members(const std::string& at)
        {
            ++p_;
            std::set<std::string> seen;
            for (blanks(); p_ < end_ && *p_ != '}'; blanks()) {
                if (*p_ == ',') {
                    ++p_;
                    blanks();
                }
                const std::string name = text();
                const std::string key = at.empty() ? name : at + "." + name;
                if (!seen.insert(name).second && !found_)
                    found_ = key;
                blanks();
                ++p_; // the colon
                value(key);
            }
            ++p_;
        }
        void items(const std::string& at)
        {
            ++p_;
            int index = 0;
            for (blanks(); p_ < end_ && *p_ != ']'; blanks()) {
                if (*p_ == ',')
                    ++p_;
                value(at + "[" + std::to_string(index++) + "]");
            }
            ++p_;
        }

        const char* p_;
        const char* end_;
        std::optional<std::string> found_;
    };

} // namespace

LabSheetRead ParseLabSheet(const QByteArray& json, const std::string& path)
{
    LabSheetRead read;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        read.refusal = { "",
            "not JSON: " + error.errorString().toStdString() + " at character " + std::to_string(error.offset) };
        return read;
    }
    if (!doc.isObject()) {
        read.refusal = { "", "a lab sheet is one JSON object, { ... }" };
        return read;
    }
    if (const DoubledKeys doubled(json); doubled.found()) {
        read.refusal = { *doubled.found(), "given twice (a key stands once in its object)" };
        return read;
    }
    try {
        read.sheet = readSheet(doc.object(), path);
    } catch (const Refused& r) {
        read.refusal = r.refusal;
    }
    return read;
}

std::optional<QByteArray> ReadSheetSizedFile(const std::string& path, std::string& why)
{
    // Only a regular file, and only as much as a sheet can be: a FIFO would
    // wait for a writer, a device could stream for ever.
    RegularFileReader file(path);
    if (!file.isOpen()) {
        why = file.notRegular().empty() ? "cannot open it: " + file.error()
                                        : "cannot open it: it is " + file.notRegular() + ", not a regular file";
        return std::nullopt;
    }
    QByteArray json;
    std::array<char, 1 << 16> chunk {};
    while (file.stream().read(chunk.data(), chunk.size()) || file.stream().gcount() > 0) {
        json.append(chunk.data(), file.stream().gcount());
        if (json.size() > kMaxLabSheetBytes) {
            why = "it is longer than " + std::to_string(kMaxLabSheetBytes >> 20)
                + " MiB, too long for a lab sheet";
            return std::nullopt;
        }
    }
    return json;
}

LabSheetRead ReadLabSheet(const std::string& path)
{
    LabSheetRead read;
    std::string why;
    const std::optional<QByteArray> json = ReadSheetSizedFile(path, why);
    if (!json) {
        read.refusal = { "", why };
        return read;
    }
    return ParseLabSheet(*json, path);
}

} // namespace tamrel
