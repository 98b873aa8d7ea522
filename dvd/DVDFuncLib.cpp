#include "dvd/DVDFuncLib.h"

#include "Frameworks/Trevanel/DVDMenu.h"

#include <QLocale>

QSizeF DVDFuncLib::menuSizeForAspectType(qint64 aspectType)
{
    return DVDMenu::menuSizeForAspectType(aspectType);
}

bool DVDFuncLib::isDefaultUseDVDNTSC(const QString &countryCode)
{
    static const QStringList ntsc = {QStringLiteral("US"), QStringLiteral("JP"), QStringLiteral("CA"),
                                     QStringLiteral("KR"), QStringLiteral("TW")};
    return ntsc.contains(countryCode);
}

bool DVDFuncLib::isDefaultUseDVDNTSC()
{
    const QLocale locale = QLocale::system();
    if (locale.territory() == QLocale::AnyTerritory)
        return false;
    return isDefaultUseDVDNTSC(QLocale::territoryToCode(locale.territory()));
}
