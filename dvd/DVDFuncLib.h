#pragma once

#include <QSizeF>
#include <QString>
#include <QtGlobal>

// Small answers for the DVD tab.
class DVDFuncLib
{
public:
    static QSizeF menuSizeForAspectType(qint64 aspectType);
    // NTSC for the regions that use it ("US", "JP", "CA", "KR", "TW"), PAL elsewhere.
    static bool isDefaultUseDVDNTSC(const QString &countryCode);
    // For the user's locale.
    static bool isDefaultUseDVDNTSC();
};
