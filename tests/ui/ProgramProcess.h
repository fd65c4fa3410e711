#pragma once
// Running the built tamrel program as a script would: in a folder, with an
// environment of the test's choosing, collecting its status and output.

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <functional>
#include <string>

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

} // namespace tamrel::testing
