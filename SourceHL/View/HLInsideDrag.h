#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QMimeData;
class QWidget;

// Drags inside the program's lines carry no data: their private type only says what kind of
// drop it is, and the controller that started the drag knows what is dragged. Each type
// carries a token made once per process, so a drag from another program that declares the
// same type is not taken for one of ours. Drops from outside take local files only.
namespace HLInsideDrag {

inline const QString kTimelineInsidePboardType = QStringLiteral("TimelineInsidePboardType");
inline const QString kSlideshowInsidePboardType = QStringLiteral("SlideshowInsidePboardType");
inline const QString kTextlineInsidePboardType = QStringLiteral("TextlineInsidePboardType");
inline const QString kAudiolineInsidePboardType = QStringLiteral("AudiolineInsidePboardType");

enum class Kind { None, Files, Inside };

// The MIME format a private type travels under.
QString mimeTypeOf(const QString &pboardType);
// Data for a drag of this process declaring the given private types; hotSpot is the point
// of the carried cell held under the pointer.
std::unique_ptr<QMimeData> mimeDataOf(const QStringList &pboardTypes, QPoint hotSpot = QPoint());
// Files first (a drag can carry both), then the private type from this process.
Kind kindOf(const QMimeData *data, const QString &pboardType);
// The local file paths of the drag, in its order; links to anything else are left out.
QStringList localFilesOf(const QMimeData *data);
// The held point of data made by mimeDataOf; (0, 0) when it has none.
QPoint hotSpotOf(const QMimeData *data);

// QDrag::exec runs a loop of its own until the drop, which nothing can drive in a test; a
// test installs a starter that takes the drag instead and sends the drop events itself.
using Starter = std::function<void(QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &image,
                                   QPoint hotSpot)>;
// Carries data from source, its picture held under the pointer at hotSpot; a move only.
void begin(QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &image, QPoint hotSpot);
// An empty starter restores QDrag.
void setStarter(Starter starter);

} // namespace HLInsideDrag
