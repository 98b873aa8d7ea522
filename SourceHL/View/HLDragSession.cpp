#include "SourceHL/View/HLDragSession.h"

#include <QCoreApplication>
#include <QDrag>
#include <QUuid>
#include <QMimeData>
#include <QWidget>

namespace {

HLDragSession::Starter &starter()
{
    static HLDragSession::Starter installed;
    return installed;
}

const QString kProcessType = QStringLiteral("application/x-slideshow-process");
const QString kHotSpotType = QStringLiteral("application/x-slideshow-hotspot");

// Unique to this run of the program: the process id alone may come back in a later run.
QByteArray processMark()
{
    static const QByteArray mark = QByteArray::number(QCoreApplication::applicationPid()) + '-' +
                                   QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    return mark;
}

} // namespace

std::unique_ptr<QMimeData> HLDragSession::mimeDataOf(const QString &type, const QString &identifier, QPoint hotSpot)
{
    auto data = std::make_unique<QMimeData>();
    data->setData(type, identifier.toUtf8());
    data->setData(kProcessType, processMark());
    data->setData(kHotSpotType, QByteArray::number(hotSpot.x()) + ',' + QByteArray::number(hotSpot.y()));
    return data;
}

bool HLDragSession::isOwn(const QMimeData *data)
{
    return data && data->data(kProcessType) == processMark();
}

QPoint HLDragSession::hotSpotOf(const QMimeData *data)
{
    if (!data)
        return {};
    const QList<QByteArray> parts = data->data(kHotSpotType).split(',');
    if (parts.size() != 2)
        return {};
    return QPoint(parts[0].toInt(), parts[1].toInt());
}

void HLDragSession::begin(QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &image, QPoint hotSpot)
{
    if (starter()) {
        starter()(source, std::move(data), image, hotSpot);
        return;
    }
    auto *drag = new QDrag(source);
    drag->setMimeData(data.release());
    drag->setPixmap(image);
    drag->setHotSpot(hotSpot);
    drag->exec(Qt::MoveAction);
}

void HLDragSession::setStarter(Starter installed)
{
    starter() = std::move(installed);
}
