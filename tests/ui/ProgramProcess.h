// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Running the built tamrel program as a script would: in a folder, with an
// environment of the test's choosing, collecting its status and output.

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tamrel::testing {

struct Outcome {
    int exitCode = -1; // -1: it did not end normally (a signal, or it could not start)
    std::string out, err;
};

// The tamrel program built into the same folder as this test program.
inline QString programPath()
{
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QFileInfo(self).absolutePath() + QStringLiteral("/tamrel");
}

// `inChild` runs in the child between fork and exec (resource limits).
inline Outcome runTamrel(const QStringList& arguments, const QString& folder,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
    const std::function<void()>& inChild = {})
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessEnvironment(environment);
    if (inChild)
        p.setChildProcessModifier(inChild);
    p.start(programPath(), arguments);
    Outcome o;
    if (!p.waitForFinished(-1))
        return o;
    o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = p.readAllStandardOutput().toStdString();
    o.err = p.readAllStandardError().toStdString();
    return o;
}

// The lines of a text file (none when it cannot be read).
inline std::vector<std::string> linesOf(const QString& path)
{
    std::vector<std::string> lines;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    QTextStream in(&f);
    while (!in.atEnd())
        lines.push_back(in.readLine().toStdString());
    return lines;
}

// The comma-separated numbers of a CSV row.
inline std::vector<double> numbersOf(const std::string& line)
{
    std::vector<double> v;
    for (const QString& field : QString::fromStdString(line).split(','))
        v.push_back(std::strtod(field.toStdString().c_str(), nullptr));
    return v;
}

// The number after "key=" in a summary line (NaN when the key is missing).
inline double summaryValue(const std::string& text, const char* key)
{
    const auto m
        = QRegularExpression(QStringLiteral("%1=(\\S+)").arg(QRegularExpression::escape(QLatin1String(key))))
              .match(QString::fromStdString(text));
    return m.hasMatch() ? std::strtod(m.captured(1).toStdString().c_str(), nullptr) : NAN;
}

// A test that runs the program in a temporary folder of its own.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QFileInfo(programPath()).isExecutable())
            GTEST_SKIP() << "tamrel is not built next to the test program";
        ASSERT_TRUE(folder.isValid());
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    Outcome run(const QStringList& arguments) { return runTamrel(arguments, folder.path()); }
    Outcome batch(const QStringList& arguments)
    {
        return run(QStringList { QStringLiteral("--batch") } + arguments);
    }

    QTemporaryDir folder;
};

} // namespace tamrel::testing
