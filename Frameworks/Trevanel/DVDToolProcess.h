#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <mutex>

// Runs one authoring tool (spumux, dvdauthor, genisoimage) as a process with an argument
// list, in a working folder, with the environment variables it reads set explicitly. It
// succeeds when the tool exits with 0 and printed no "ERR:" line; the caller checks the
// output the tool should have left. Its lines are handed to a reader as they come (progress).
class DVDToolProcess
{
public:
    struct Request
    {
        QString program;
        QStringList arguments;
        QString workFolder;
        QMap<QString, QString> environment; // set over the inherited environment
        QString inputFile;  // the tool's standard input; empty: none
        QString outputFile; // the tool's standard output; empty: read as lines
    };
    using LineReader = std::function<void(const QString &line)>;

    // Blocks until the tool has ended; false with errorString set when it failed or was
    // cancelled (by cancel, or by stop when given: the cancel token of the job it runs in).
    bool run(const Request &request, const LineReader &reader = {}, const std::atomic<bool> *stop = nullptr);
    // Ends the running tool (the process this object started); a later run fails at once.
    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled.load(); }
    QString errorString() const;

private:
    void p_fail(const QString &reason);

    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_mutex;
    QString m_error;
};
