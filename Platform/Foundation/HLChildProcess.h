#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Runs an outside program to its end. Started with posix_spawn, whose child runs nothing of
// ours before exec: a child cloned over our memory (as QProcess does) would run intercepted
// calls in it, which ThreadSanitizer cannot follow, and needs no event loop on the calling
// thread either.
class HLChildProcess
{
public:
    struct Request
    {
        QString program; // looked up in PATH when it names no folder
        QStringList arguments;
        QString workFolder;       // empty: ours
        QStringList environment;  // "NAME=value", set over ours
        QString inputFile;        // standard input; empty: nothing
        QString outputFile;       // standard output into this file, its error then read; empty: both read
    };
    struct Result
    {
        bool started = false;
        QString startError;    // why it did not start
        bool exited = false;   // ended by itself, not by a signal or a cancel
        int exitCode = -1;
    };
    using OutputReader = std::function<void(const QByteArray &chunk)>;
    using CancelCheck = std::function<bool()>;

    // Blocks until the program has ended. What it prints reaches reader as it comes; cancelled
    // is asked several times a second, and when it answers true the program is killed.
    static Result run(const Request &request, const OutputReader &reader = {}, const CancelCheck &cancelled = {});
};
