#include "SourceHL/View/HLTimelineCaption.h"

#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/Common/HLStringHelper.h"

namespace HLTimelineCaption {

QString slideshowTitleOf(const QString &name, float duration, qint64 count)
{
    const QString countText = QStringLiteral("%1 %2").arg(count).arg(count > 1 ? QStringLiteral("Items")
                                                                              : QStringLiteral("Item"));
    return QStringLiteral("%1    %2    %3")
        .arg(name, countText, HLInformationTitle::itMakeDigitalTitleTime(4, duration));
}

QString transitionTitleOf(const QString &name, float duration)
{
    return QStringLiteral("%1  %2s").arg(name, hlFixedString(duration, 1));
}

} // namespace HLTimelineCaption
