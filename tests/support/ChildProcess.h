#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs an outside program for a test or a fixture to its end. Started with posix_spawn, whose
// child runs nothing of ours before exec: QProcess's child (cloned with CLONE_VM) would run
// intercepted calls inside the test's own memory and break ThreadSanitizer for the rest of
// the program.
struct ChildProcess
{
    // The exit code; -1 when the program could not start or did not end normally.
    int exitCode = -1;
    // Standard output and error together, when asked for.
    QByteArray output;

    // program is looked up in PATH; environment entries ("NAME=value") are added to ours.
    // Without captureOutput the child's standard output goes to ours and its error to ours.
    static ChildProcess run(const QString &program, const QStringList &arguments, bool captureOutput = false,
                            const QStringList &environment = {});
};
