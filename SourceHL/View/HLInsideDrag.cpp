#include "SourceHL/View/HLInsideDrag.h"

#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QUuid>
#include <QWidget>

namespace HLInsideDrag {

namespace {

const QString kHotSpotType = QStringLiteral("application/x-slideshow-hotspot");

const QByteArray &processToken()
{
    static const QByteArray token = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    return token;
}

Starter &installedStarter()
{
    static Starter installed;
    return installed;
}

} // namespace

QString mimeTypeOf(const QString &pboardType)
{
    return QStringLiteral("application/x-slideshow-") + pboardType;
}

std::unique_ptr<QMimeData> mimeDataOf(const QStringList &pboardTypes, QPoint hotSpot)
{
    auto data = std::make_unique<QMimeData>();
    for (const QString &type : pboardTypes)
        data->setData(mimeTypeOf(type), processToken());
    data->setData(kHotSpotType, QByteArray::number(hotSpot.x()) + ',' + QByteArray::number(hotSpot.y()));
    return data;
}

Kind kindOf(const QMimeData *data, const QString &pboardType)
{
    if (!data)
        return Kind::None;
    if (!localFilesOf(data).isEmpty())
        return Kind::Files;
    const QString format = mimeTypeOf(pboardType);
    if (data->hasFormat(format) && data->data(format) == processToken())
        return Kind::Inside;
    return Kind::None;
}

QStringList localFilesOf(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            paths.append(url.toLocalFile());
    return paths;
}

QPoint hotSpotOf(const QMimeData *data)
{
    if (!data)
        return {};
    const QList<QByteArray> parts = data->data(kHotSpotType).split(',');
    if (parts.size() != 2)
        return {};
    return QPoint(parts[0].toInt(), parts[1].toInt());
}

void begin(QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &image, QPoint hotSpot)
{
    if (installedStarter()) {
        installedStarter()(source, std::move(data), image, hotSpot);
        return;
    }
    auto *drag = new QDrag(source);
    drag->setMimeData(data.release());
    drag->setPixmap(image);
    drag->setHotSpot(hotSpot);
    drag->exec(Qt::MoveAction);
}

void setStarter(Starter starter)
{
    installedStarter() = std::move(starter);
}

} // namespace HLInsideDrag
