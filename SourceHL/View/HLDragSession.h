#pragma once

#include <QPixmap>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>

class QMimeData;
class QWidget;

// Starts the drag and drop of a cell carried within its line. QDrag::exec runs a loop of its
// own until the drop, which nothing can drive in a test; a test installs a starter that
// takes the drag instead and sends the drop events itself.
namespace HLDragSession {

using Starter = std::function<void(QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &image,
                                   QPoint hotSpot)>;

// The data of a cell carried within the program: its identifier under type, the point of
// the cell held under the pointer, and this process's mark.
std::unique_ptr<QMimeData> mimeDataOf(const QString &type, const QString &identifier, QPoint hotSpot);
// Whether data comes from a drag of this very process: a private type from anywhere else
// must not act on this window's choice.
bool isOwn(const QMimeData *data);
// The held point of data made by mimeDataOf; (0, 0) when it has none.
QPoint hotSpotOf(const QMimeData *data);

// Carries data from source, its picture held under the pointer at hotSpot; a move only.
void begin(QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &image, QPoint hotSpot);
// An empty starter restores QDrag.
void setStarter(Starter starter);

} // namespace HLDragSession
