#include "dvd/DVDDiscName.h"

QString DVDDiscName::folderName(const QString &name)
{
    QString result;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control)
            continue;
        result += c;
    }
    result = result.trimmed();
    while (result.startsWith(QLatin1Char('.')))
        result.remove(0, 1);
    result = result.trimmed();
    // Cut at a character boundary until the UTF-8 form fits a file name.
    while (result.toUtf8().size() > 255) {
        result.chop(1);
        if (!result.isEmpty() && result.back().isHighSurrogate())
            result.chop(1);
    }
    result = result.trimmed();
    return result.isEmpty() ? QStringLiteral("My DVD") : result;
}

QString DVDDiscName::volumeName(const QString &name)
{
    QString result;
    for (const QChar c : name.trimmed()) {
        if (c.isLowSurrogate())
            continue;
        const char16_t u = c.unicode();
        result += u >= 0x20 && u < 0x7f ? c : QLatin1Char('_');
    }
    result = result.left(30).trimmed();
    bool anyLetter = false;
    for (const QChar c : result)
        anyLetter = anyLetter || c != QLatin1Char('_');
    return anyLetter ? result : QStringLiteral("MY_DVD");
}
