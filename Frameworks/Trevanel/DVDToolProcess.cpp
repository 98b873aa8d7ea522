#include "Frameworks/Trevanel/DVDToolProcess.h"

#include "Platform/Foundation/HLChildProcess.h"

#include <QFileInfo>

namespace {

// Hands every complete line of data to reader, keeping a partial last line in pending.
// genisoimage ends its progress lines with carriage returns.
void splitLines(QByteArray &pending, const QByteArray &data, const std::function<void(const QString &)> &reader)
{
    pending += data;
    qsizetype start = 0;
    for (qsizetype i = 0; i < pending.size(); ++i) {
        if (pending[i] == '\n' || pending[i] == '\r') {
            if (i > start)
                reader(QString::fromLocal8Bit(pending.mid(start, i - start)));
            start = i + 1;
        }
    }
    pending.remove(0, start);
}

} // namespace

QString DVDToolProcess::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void DVDToolProcess::p_fail(const QString &reason)
{
    std::lock_guard lock(m_mutex);
    if (m_error.isEmpty())
        m_error = reason;
}

bool DVDToolProcess::run(const Request &request, const LineReader &reader, const std::atomic<bool> *stop)
{
    if (stop && *stop)
        m_cancelled = true;
    const QString tool = QFileInfo(request.program).fileName();
    if (m_cancelled) {
        p_fail(QStringLiteral("Cancelled"));
        return false;
    }
    HLChildProcess::Request child;
    child.program = request.program;
    child.arguments = request.arguments;
    child.workFolder = request.workFolder;
    for (auto it = request.environment.begin(); it != request.environment.end(); ++it)
        child.environment.append(it.key() + QLatin1Char('=') + it.value());
    child.inputFile = request.inputFile;
    child.outputFile = request.outputFile;

    QString firstError;
    QString lastLine;
    auto onLine = [&](const QString &line) {
        const QString text = line.trimmed();
        if (text.isEmpty())
            return;
        lastLine = text;
        if (firstError.isEmpty() && text.startsWith(QLatin1String("ERR:")))
            firstError = text.mid(4).trimmed();
        if (reader)
            reader(text);
    };
    QByteArray pending;
    const HLChildProcess::Result result = HLChildProcess::run(
        child, [&](const QByteArray &chunk) { splitLines(pending, chunk, onLine); },
        [this, stop] {
            if (stop && *stop)
                m_cancelled = true;
            return m_cancelled.load();
        });
    splitLines(pending, QByteArrayLiteral("\n"), onLine);

    if (!result.started) {
        p_fail(QStringLiteral("Cannot start %1: %2").arg(tool, result.startError));
        return false;
    }
    if (m_cancelled) {
        p_fail(QStringLiteral("Cancelled"));
        return false;
    }
    if (!result.exited) {
        p_fail(QStringLiteral("%1 stopped unexpectedly%2")
                   .arg(tool, lastLine.isEmpty() ? QString() : QStringLiteral(": ") + lastLine));
        return false;
    }
    if (!firstError.isEmpty()) {
        p_fail(QStringLiteral("%1: %2").arg(tool, firstError));
        return false;
    }
    if (result.exitCode != 0) {
        p_fail(QStringLiteral("%1 failed (exit code %2)%3")
                   .arg(tool)
                   .arg(result.exitCode)
                   .arg(lastLine.isEmpty() ? QString() : QStringLiteral(": ") + lastLine));
        return false;
    }
    return true;
}
