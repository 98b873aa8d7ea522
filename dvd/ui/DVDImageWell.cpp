#include "dvd/ui/DVDImageWell.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPixmap>

namespace {

QImage droppedImage(const QMimeData *data)
{
    if (!data)
        return {};
    if (data->hasImage())
        return qvariant_cast<QImage>(data->imageData());
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile()) {
            const QImage image(url.toLocalFile());
            if (!image.isNull())
                return image;
        }
    }
    return {};
}

} // namespace

DVDImageWell::DVDImageWell(QWidget *parent) : QLabel(parent)
{
    setAcceptDrops(true);
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
}

void DVDImageWell::setImage(const QImage &image)
{
    if (image.isNull()) {
        clear();
        return;
    }
    setPixmap(QPixmap::fromImage(image.scaled(size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void DVDImageWell::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_editable && event->mimeData() && (event->mimeData()->hasImage() || event->mimeData()->hasUrls()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void DVDImageWell::dropEvent(QDropEvent *event)
{
    const QImage image = m_editable ? droppedImage(event->mimeData()) : QImage();
    if (image.isNull() || image.width() <= 0) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit imageDropped(image);
}
