#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Runs an outside program for a test or a fixture to its end (through HLChildProcess, so that
// ThreadSanitizer survives it).
struct ChildProcess
{
    // The exit code; -1 when the program could not start or did not end normally.
    int exitCode = -1;
    // Standard output and error together, when asked for.
    QByteArray output;

    // program is looked up in PATH; environment entries ("NAME=value") are added to ours.
    // Without captureOutput what the child prints goes to our standard error.
    static ChildProcess run(const QString &program, const QStringList &arguments, bool captureOutput = false,
                            const QStringList &environment = {});
};
