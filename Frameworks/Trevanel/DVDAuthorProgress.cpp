#include "Frameworks/Trevanel/DVDAuthorProgress.h"

#include <QRegularExpression>

#include <algorithm>

std::optional<double> DVDAuthorProgress::read(const QString &line)
{
    static const QRegularExpression processing(QStringLiteral("^STAT: Processing ([A-Za-z]+)"));
    static const QRegularExpression vobu(QStringLiteral("^STAT: VOBU \\d+ at (\\d+)MB"));
    const auto file = processing.match(line);
    if (file.hasMatch()) {
        // "menu…" and "title…" files go to different domains.
        if (file.captured(1) != m_domain) {
            m_doneDomainsMB += m_lastMB;
            m_lastMB = 0;
            m_domain = file.captured(1);
        }
        return std::nullopt;
    }
    const auto match = vobu.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    const double mb = match.captured(1).toDouble();
    m_lastMB = mb;
    return std::min(0.99, (m_doneDomainsMB + mb) / m_totalMB);
}
