#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

// Drags inside the timeline views carry no data: their private type only says what kind
// of drop it is, and the controller that started the drag knows what is dragged. Each type
// carries a token made once per process, so a drag from another program that declares the
// same type is not taken for one of ours. Drops from outside take local files only.
namespace HLInsideDrag {

inline const QString kTimelineInsidePboardType = QStringLiteral("TimelineInsidePboardType");
inline const QString kSlideshowInsidePboardType = QStringLiteral("SlideshowInsidePboardType");

enum class Kind { None, Files, Inside };

// The MIME format a private type travels under.
QString mimeTypeOf(const QString &pboardType);
// Data for a drag of this process declaring the given private types.
QMimeData *mimeDataOf(const QStringList &pboardTypes);
// Files first (a drag can carry both), then the private type from this process.
Kind kindOf(const QMimeData *data, const QString &pboardType);
// The local file paths of the drag, in its order; links to anything else are left out.
QStringList localFilesOf(const QMimeData *data);

} // namespace HLInsideDrag
