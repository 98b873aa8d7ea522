#include "Frameworks/Ambrelle/AmbrelleMediaModel.h"

#include "Frameworks/Ambrelle/AmbrelleThumbnailer.h"
#include "Platform/Foundation/HLDispatch.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QUrl>

namespace {

const QStringList kPhotoSuffixes = {"jpg", "jpeg", "png", "tif", "tiff", "gif", "bmp", "webp", "heic", "heif"};

} // namespace

AmbrelleMediaModel::AmbrelleMediaModel(AmbrelleThumbnailer &thumbnailer, QObject *parent)
    : QAbstractListModel(parent), m_thumbnailer(thumbnailer)
{
    connect(&m_thumbnailer, &AmbrelleThumbnailer::thumbnailReady, this,
            [this](const QString &path, const QImage &) { p_thumbnailReady(path); });
}

bool AmbrelleMediaModel::isMediaPath(const QString &path)
{
    return kPhotoSuffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive) ||
           AmbrelleThumbnailer::isVideoPath(path);
}

QStringList AmbrelleMediaModel::listMedia(const QString &folder)
{
    QStringList paths;
    if (folder.isEmpty())
        return paths;
    QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (isMediaPath(path))
            paths.append(path);
    }
    paths.sort(Qt::CaseInsensitive);
    return paths;
}

void AmbrelleMediaModel::setFolder(const QString &folder)
{
    m_folder = folder;
    const quint64 generation = ++m_generation;
    m_thumbnailer.cancelPending();
    beginResetModel();
    m_paths.clear();
    m_bIsListing = !folder.isEmpty();
    endResetModel();
    if (folder.isEmpty())
        return;
    // The worker only carries this pointer back; it is used on the main thread, and only
    // while the token says the model still exists.
    const std::weak_ptr<int> alive = m_alive;
    AmbrelleMediaModel *self = this;
    HLDispatch::inBackground([alive, self, folder, generation] {
        const QStringList paths = listMedia(folder);
        HLDispatch::onMain([alive, self, paths, generation] {
            // A folder chosen since then wins.
            if (!alive.lock() || generation != self->m_generation)
                return;
            self->beginResetModel();
            self->m_paths = paths;
            self->m_bIsListing = false;
            self->endResetModel();
            emit self->listed();
        });
    });
}

int AmbrelleMediaModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant AmbrelleMediaModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_paths.size())
        return {};
    const QString &path = m_paths[index.row()];
    switch (role) {
    case Qt::DisplayRole: return QFileInfo(path).fileName();
    case Qt::ToolTipRole: return path;
    case PathRole: return path;
    case Qt::DecorationRole: {
        const QImage thumbnail = m_thumbnailer.thumbnailOf(path);
        if (thumbnail.isNull()) {
            // Until the thumbnail comes: a dark frame of its size, so every cell is laid out alike.
            static const QPixmap waiting = [] {
                QPixmap pixmap(AmbrelleThumbnailer::kThumbnailWidth, AmbrelleThumbnailer::kThumbnailHeight);
                pixmap.fill(QColor(40, 40, 40));
                return pixmap;
            }();
            return waiting;
        }
        return QPixmap::fromImage(thumbnail);
    }
    default: return {};
    }
}

Qt::ItemFlags AmbrelleMediaModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList AmbrelleMediaModel::mimeTypes() const
{
    return {QStringLiteral("text/uri-list")};
}

QMimeData *AmbrelleMediaModel::mimeData(const QModelIndexList &indexes) const
{
    QModelIndexList sorted = indexes;
    std::sort(sorted.begin(), sorted.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QList<QUrl> urls;
    for (const QModelIndex &index : sorted)
        urls.append(QUrl::fromLocalFile(index.data(PathRole).toString()));
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

void AmbrelleMediaModel::p_thumbnailReady(const QString &path)
{
    const qsizetype row = m_paths.indexOf(path);
    if (row < 0)
        return;
    const QModelIndex changed = index(int(row));
    emit dataChanged(changed, changed, {Qt::DecorationRole});
}
