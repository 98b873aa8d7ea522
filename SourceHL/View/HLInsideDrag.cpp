#include "SourceHL/View/HLInsideDrag.h"

#include <QMimeData>
#include <QUrl>
#include <QUuid>

namespace HLInsideDrag {

namespace {

const QByteArray &processToken()
{
    static const QByteArray token = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    return token;
}

} // namespace

QString mimeTypeOf(const QString &pboardType)
{
    return QStringLiteral("application/x-slideshow-") + pboardType;
}

QMimeData *mimeDataOf(const QStringList &pboardTypes)
{
    auto *data = new QMimeData;
    for (const QString &type : pboardTypes)
        data->setData(mimeTypeOf(type), processToken());
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

} // namespace HLInsideDrag
