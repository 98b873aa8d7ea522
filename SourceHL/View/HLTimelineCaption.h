#pragma once

#include <QString>
#include <QtGlobal>

// The captions of the strip's rows and transition tiles.
namespace HLTimelineCaption {

// "Name    2 Items    01:02:05": template name, photo and clip count, duration.
QString slideshowTitleOf(const QString &name, float duration, qint64 count);
// "Name  2.0s": template name and duration to a tenth of a second.
QString transitionTitleOf(const QString &name, float duration);

} // namespace HLTimelineCaption
