// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The mutation fuzzer of the lab-sheet reader: sheets like those that ship,
// changed in their structure (a value replaced by one of another kind or a
// hard number, a key dropped, doubled or unknown, a list emptied or grown)
// and in their text (bytes, truncation, escapes, deep nesting), then read.
//
// Properties of every input:
//   * reading never faults and settles every sheet: a sheet, or a refusal
//     with a reason whose key, when it names one, is a key of the sheet;
//   * a refusal is the same however often the text is read;
//   * an accepted sheet holds what the reader promises: a title, a known
//     scheme, a grid of 6 to 5000 cells where it sets one, wave numbers
//     that are whole numbers from 1, positive finite tolerances, at least
//     one check, and no key of the text given twice.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "ui/window/LabSheetReader.h"
#include "kernels/SchemeTable.h"

namespace tamrel::testing {

inline std::vector<QByteArray> sheetSeeds()
{
    return {
        R"({ "title": "Shock tube", "questions": ["Where is the shock?", "Why is the contact wider?"],
             "problem": { "test": 1 }, "scheme": "Orvane", "cells": 200, "courant": 0.8,
             "checks": [ { "kind": "front", "wave": "shock", "expected": 0.7307, "tolerance": 0.01 },
                         { "kind": "width", "name": "contact", "wave": "contact", "tolerance": 0.05 },
                         { "kind": "l1", "scheme": "Sorvi", "tolerance": 0.02 },
                         { "kind": "value", "x": 0.6, "t": 0.1, "variable": "pressure", "expected": 0.1,
                           "tolerance": 1e-6 } ] })",
        R"({ "title": "Sound wave order", "problem": { "sound_wave": [0.0001, 1, 0, 1, 0, 1, 0] },
             "scheme": "Orvane", "cells": 64, "periods": 1,
             "checks": [ { "kind": "order", "schemes": ["Orvane", "Lentor32"], "cells": [32, 64, 128],
                           "min_order": 1.5 },
                         { "kind": "value", "x": 0.25, "t": "TStop", "variable": "velocity", "expected": 0,
                           "tolerance": 0.001 } ] })",
        R"({ "title": "Two fluids", "problem": { "test": 3 }, "scheme": "Mixtal32", "cells": 100,
             "checks": [ { "kind": "volume", "expected": 0.5, "tolerance": 0.01 },
                         { "kind": "front", "wave": "interface", "expected": 0.5, "tolerance": 0.05 },
                         { "kind": "value", "x": 0.5, "variable": "fraction", "expected": 0.5, "tolerance": 0.5 } ] })",
    };
}

class SheetMutator {
public:
    explicit SheetMutator(unsigned seed)
        : rng_(seed)
    {
    }

    QByteArray mutate(const QByteArray& seed)
    {
        QJsonObject top = QJsonDocument::fromJson(seed).object();
        const int structural = 1 + pick(3);
        for (int i = 0; i < structural; ++i)
            top = changeObject(top, 0);
        QByteArray text = QJsonDocument(top).toJson(pick(2) ? QJsonDocument::Compact : QJsonDocument::Indented);
        if (pick(4) == 0)
            doubleAKey(text);
        if (pick(3) == 0)
            changeText(text);
        return text;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    QJsonValue hardValue()
    {
        static const QJsonValue kValues[] = { 0, -1, 1, 2, 5, 6, 8, 9, 64, 5000, 5001, 1e300, -1e300, 1e-300, 0.5,
            1.5, 2147483648.0, 1e20, QJsonValue(QJsonValue::Null), true, false, QStringLiteral(""),
            QStringLiteral(" "), QStringLiteral("TStop"), QStringLiteral("Orvane"), QStringLiteral("orvane"),
            QStringLiteral("Mixtal32"), QStringLiteral("shock"), QStringLiteral("left shock"),
            QStringLiteral("contact"), QStringLiteral("interface"), QStringLiteral("density"),
            QStringLiteral("fraction"), QStringLiteral("l1"), QStringLiteral("order"), QStringLiteral("value"),
            QStringLiteral("width"), QStringLiteral("nowhere.txt"), QStringLiteral("/dev/zero"),
            QStringLiteral("\u001b[31m\u0000"), QJsonArray(), QJsonArray { 1, 2 }, QJsonObject(),
            QJsonObject { { QStringLiteral("test"), 1 } } };
        return kValues[pick(static_cast<int>(std::size(kValues)))];
    }

    QJsonValue change(const QJsonValue& v, int depth)
    {
        if (v.isObject() && depth < 4 && pick(3))
            return changeObject(v.toObject(), depth + 1);
        if (v.isArray() && depth < 4 && pick(3)) {
            QJsonArray a = v.toArray();
            switch (a.isEmpty() ? 2 : pick(4)) {
            case 0:
                a.removeAt(pick(static_cast<int>(a.size())));
                break;
            case 1: {
                const int i = pick(static_cast<int>(a.size()));
                a.insert(i, a.at(i));
                break;
            }
            case 2:
                a.append(hardValue());
                break;
            default: {
                const int i = pick(static_cast<int>(a.size()));
                a[i] = change(a.at(i), depth + 1);
                break;
            }
            }
            return a;
        }
        return hardValue();
    }

    QJsonObject changeObject(QJsonObject o, int depth)
    {
        const QStringList keys = o.keys();
        switch (keys.isEmpty() ? 2 : pick(5)) {
        case 0:
            o.remove(keys[pick(static_cast<int>(keys.size()))]);
            break;
        case 1:
            o.insert(QStringLiteral("colour"), hardValue());
            break;
        case 2: {
            static const char* const kKnown[] = { "test", "sound_wave", "setup", "t", "x", "name", "scheme",
                "periods", "cells", "courant", "expected", "wave", "min_order", "schemes" };
            o.insert(QLatin1String(kKnown[pick(static_cast<int>(std::size(kKnown)))]), hardValue());
            break;
        }
        default: {
            const QString k = keys[pick(static_cast<int>(keys.size()))];
            o.insert(k, change(o.value(k), depth));
            break;
        }
        }
        return o;
    }

    // A member written twice: the second "key": value after the first.
    void doubleAKey(QByteArray& text)
    {
        const qsizetype at = text.indexOf("\":", pick(static_cast<int>(text.size())));
        if (at < 0)
            return;
        const qsizetype start = text.lastIndexOf('"', at - 1);
        qsizetype end = at + 2;
        while (end < text.size() && text[end] != ',' && text[end] != '}' && text[end] != '{' && text[end] != '[')
            ++end;
        if (start < 0 || end >= text.size() || text[end] == '{' || text[end] == '[')
            return;
        text.insert(end, "," + text.mid(start, end - start));
    }

    void changeText(QByteArray& text)
    {
        static const char kInteresting[] = "{}[]\":,0123456789.eE-+ \\tnu\n";
        switch (pick(4)) {
        case 0:
            text[pick(static_cast<int>(text.size()))] = pick(2)
                ? kInteresting[pick(static_cast<int>(sizeof kInteresting - 1))]
                : static_cast<char>(pick(256));
            break;
        case 1:
            text.truncate(pick(static_cast<int>(text.size())));
            break;
        case 2:
            text = QByteArray(pick(3000), '[') + text + QByteArray(pick(3000), ']');
            break;
        default:
            text.replace("title", "\\u0074itle");
            break;
        }
    }

    std::mt19937 rng_;
};

struct SheetFuzzTally {
    long accepted = 0, refused = 0, notJson = 0;
};

// Whether `key` ("checks[2].tolerance", "problem.sound_wave[1]") leads
// from `v` to a value; a member's name may itself hold a dot or a bracket.
inline bool keyLeadsTo(const QJsonValue& v, const std::string& key)
{
    if (key.empty())
        return true;
    if (key[0] == '[' && v.isArray()) {
        const std::size_t close = key.find(']');
        if (close == std::string::npos)
            return false;
        const qsizetype index = std::stoll(key.substr(1, close - 1));
        return index < v.toArray().size() && keyLeadsTo(v.toArray().at(index), key.substr(close + 1));
    }
    if (!v.isObject())
        return false;
    const QJsonObject o = v.toObject();
    for (const std::string& rest : { key, key[0] == '.' ? key.substr(1) : std::string() }) {
        for (auto it = o.begin(); !rest.empty() && it != o.end(); ++it) {
            const std::string name = it.key().toStdString();
            if (rest.compare(0, name.size(), name) == 0 && keyLeadsTo(it.value(), rest.substr(name.size())))
                return true;
        }
    }
    return false;
}

// Whether the refusal's key names a place in the sheet; a key found
// missing is the one exception.
inline bool keyInSheet(const QByteArray& text, const sheets::SheetRefusal& refusal)
{
    return refusal.key.empty() || refusal.reason.rfind("missing", 0) == 0
        || keyLeadsTo(QJsonDocument::fromJson(text).object(), refusal.key);
}

inline ::testing::AssertionResult soundSheet(const sheets::LabSheet& sheet)
{
    if (sheet.title.empty() || sheet.checks.empty() || !kernels::findScheme(sheet.scheme))
        return ::testing::AssertionFailure() << "title, checks or scheme missing";
    if (sheet.cells && (*sheet.cells < 6 || *sheet.cells > 5000))
        return ::testing::AssertionFailure() << "cells " << *sheet.cells;
    const auto& w = sheet.problem.wave;
    for (std::size_t i = 1; i < w.size(); i += 2)
        if (i < 6 && !(w[i] >= 1 && w[i] == std::floor(w[i])))
            return ::testing::AssertionFailure() << "wave number " << w[i];
    for (const sheets::Check& c : sheet.checks)
        if (c.kind != sheets::CheckKind::Order && !(c.tolerance > 0 && std::isfinite(c.tolerance)))
            return ::testing::AssertionFailure() << c.key << " tolerance " << c.tolerance;
    return ::testing::AssertionSuccess();
}

inline SheetFuzzTally fuzzSheetReader(long iterations, unsigned seed)
{
    const auto seeds = sheetSeeds();
    SheetMutator mutator(seed);
    SheetFuzzTally tally;
    for (long iteration = 0; iteration < iterations; ++iteration) {
        const QByteArray text = mutator.mutate(seeds[static_cast<std::size_t>(iteration) % seeds.size()]);
        SCOPED_TRACE("iteration " + std::to_string(iteration) + ": " + text.toStdString());
        const LabSheetRead r = ParseLabSheet(text, "fuzz.json");
        if (r.sheet) {
            ++tally.accepted;
            EXPECT_TRUE(soundSheet(*r.sheet));
            // Qt keeps one member of a doubled name: the sheet read must not
            // have had one.
            EXPECT_EQ(text.count("\"title\"") + text.count("\"\\u0074itle\""), 1);
        } else {
            const bool json = !QJsonDocument::fromJson(text).isNull();
            ++(json ? tally.refused : tally.notJson);
            EXPECT_FALSE(r.refusal.reason.empty());
            if (json) {
                EXPECT_TRUE(keyInSheet(text, r.refusal)) << r.refusal.text();
            }
            const LabSheetRead again = ParseLabSheet(text, "fuzz.json");
            EXPECT_EQ(again.refusal.text(), r.refusal.text());
        }
        if (::testing::Test::HasFailure())
            break;
    }
    return tally;
}

} // namespace tamrel::testing
