#include "Frameworks/Trevanel/DVDToolProcess.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>

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

bool DVDToolProcess::run(const Request &request, const LineReader &reader)
{
    const QString tool = QFileInfo(request.program).fileName();
    if (m_cancelled) {
        p_fail(QStringLiteral("Cancelled"));
        return false;
    }
    QProcess process;
    process.setProgram(request.program);
    process.setArguments(request.arguments);
    process.setWorkingDirectory(request.workFolder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (auto it = request.environment.begin(); it != request.environment.end(); ++it)
        environment.insert(it.key(), it.value());
    process.setProcessEnvironment(environment);
    if (!request.inputFile.isEmpty())
        process.setStandardInputFile(request.inputFile);
    else
        process.setStandardInputFile(QProcess::nullDevice());
    if (!request.outputFile.isEmpty())
        process.setStandardOutputFile(request.outputFile);
    else
        process.setProcessChannelMode(QProcess::MergedChannels);

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
    const QProcess::ProcessChannel channel =
        request.outputFile.isEmpty() ? QProcess::StandardOutput : QProcess::StandardError;
    process.setReadChannel(channel);

    process.start();
    if (!process.waitForStarted(-1)) {
        p_fail(QStringLiteral("Cannot start %1: %2").arg(tool, process.errorString()));
        return false;
    }
    bool killed = false;
    while (!process.waitForFinished(50)) {
        if (process.state() == QProcess::NotRunning)
            break;
        splitLines(pending, process.readAll(), onLine);
        if (m_cancelled && !killed) {
            process.kill();
            killed = true;
        }
    }
    splitLines(pending, process.readAll() + '\n', onLine);

    if (m_cancelled) {
        p_fail(QStringLiteral("Cancelled"));
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        p_fail(QStringLiteral("%1 stopped unexpectedly%2")
                   .arg(tool, lastLine.isEmpty() ? QString() : QStringLiteral(": ") + lastLine));
        return false;
    }
    if (!firstError.isEmpty()) {
        p_fail(QStringLiteral("%1: %2").arg(tool, firstError));
        return false;
    }
    if (process.exitCode() != 0) {
        p_fail(QStringLiteral("%1 failed (exit code %2)%3")
                   .arg(tool)
                   .arg(process.exitCode())
                   .arg(lastLine.isEmpty() ? QString() : QStringLiteral(": ") + lastLine));
        return false;
    }
    return true;
}
