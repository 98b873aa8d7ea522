#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <memory>

class AmbrelleThumbnailer;

// The photos and clips of one folder and the folders inside it, by name, each shown with its
// thumbnail once a worker has made it. The folder is read on a worker too. Dragging items out
// carries their files.
class AmbrelleMediaModel : public QAbstractListModel
{
    Q_OBJECT
public:
    enum Role { PathRole = Qt::UserRole + 1 };

    explicit AmbrelleMediaModel(AmbrelleThumbnailer &thumbnailer, QObject *parent = nullptr);

    // Lists folder (recursively); an empty folder lists nothing.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    QStringList paths() const { return m_paths; }
    // The folder is being read.
    bool isListing() const { return m_bIsListing; }

    // The media files under folder, sorted by path; made off the main thread.
    static QStringList listMedia(const QString &folder);
    static bool isMediaPath(const QString &path);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

signals:
    // The listing of the current folder is in.
    void listed();

private:
    void p_thumbnailReady(const QString &path);

    AmbrelleThumbnailer &m_thumbnailer;
    QString m_folder;
    QStringList m_paths;
    quint64 m_generation = 0;
    bool m_bIsListing = false;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0); // expires with the model

};
