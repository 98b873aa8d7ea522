#include "Frameworks/Trevanel/DVDImageMake.h"

#include "Platform/Foundation/HLJob.h"

#include "Frameworks/Trevanel/DVDToolFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

void DVDImageMake::volume(const QString &name, const QString &work)
{
    m_volume = name;
    m_work = work;
}

QString DVDImageMake::errorString() const
{
    return m_error.isEmpty() ? m_tool.errorString() : m_error;
}

bool DVDImageMake::p_fail(const QString &reason)
{
    if (m_error.isEmpty())
        m_error = reason;
    return false;
}

bool DVDImageMake::start(HLJobState &state)
{
    if (!QFileInfo::exists(m_input + QStringLiteral("/VIDEO_TS/VIDEO_TS.IFO")))
        return p_fail(QStringLiteral("%1 is no DVD-Video folder").arg(m_input));
    const QString output = QDir(m_work).filePath(imageName());
    QFile::remove(output);
    DVDToolProcess::Request request;
    request.program = QStringLiteral("genisoimage");
    request.arguments = {QStringLiteral("-dvd-video"), QStringLiteral("-udf"), QStringLiteral("-gui"), QStringLiteral("-V"), m_volume, QStringLiteral("-o"),
                         imageName(), QFileInfo(m_input).absoluteFilePath()};
    request.workFolder = m_work;
    const bool ran = m_tool.run(request, [&](const QString &line) {
        if (const auto p = progressOfLine(line))
            state.setProgress(*p);
    }, &state.cancelToken());
    if (!ran || !DVDToolFiles::isNonEmptyFile(output) || QFileInfo(output).size() % 2048 != 0) {
        QFile::remove(output);
        return ran ? p_fail(QStringLiteral("genisoimage wrote no image")) : false;
    }
    state.setProgress(1.0);
    return true;
}

std::optional<double> DVDImageMake::progressOfLine(const QString &line)
{
    static const QRegularExpression done(QStringLiteral("^(\\d+(?:\\.\\d+)?)% done"));
    const auto match = done.match(line.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return std::clamp(match.captured(1).toDouble() / 100.0, 0.0, 0.99);
}
