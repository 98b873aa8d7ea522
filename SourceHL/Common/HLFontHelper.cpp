#include "SourceHL/Common/HLFontHelper.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace {

// The installed family that stands in for name: the family itself, or the font
// configuration's substitute for it ("Times New Roman" is served by "Liberation Serif").
// Empty when the configuration only offers its general fallback, which unknown names get.
QString installedFamily(const QString &name)
{
    if (name.isEmpty())
        return {};
    if (QFontDatabase::hasFamily(name))
        return name;
    const QString substitute = QFontInfo(QFont(name)).family();
    const QString fallback = QFontInfo(QFont(QStringLiteral("-no-such-family-"))).family();
    if (substitute != fallback && QFontDatabase::hasFamily(substitute))
        return substitute;
    return {};
}

} // namespace

QFont hl_fontWithName(const QString &name, double size)
{
    const QString family = installedFamily(name);
    QFont font = family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::GeneralFont)
                                  : QFont(family);
    if (size > 0)
        font.setPointSizeF(size);
    return font;
}
