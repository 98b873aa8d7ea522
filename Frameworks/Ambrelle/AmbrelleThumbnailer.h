#pragma once

#include <QCache>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThreadPool>

// Thumbnails of photos and clips for the media browser, made on worker threads so the window
// never waits on a decoder, and kept once made (by file and its modification time). Asked and
// answered on the main thread.
class AmbrelleThumbnailer : public QObject
{
    Q_OBJECT
public:
    // Every thumbnail fits in this box, aspect kept.
    static constexpr int kThumbnailWidth = 120;
    static constexpr int kThumbnailHeight = 90;

    explicit AmbrelleThumbnailer(QObject *parent = nullptr);
    ~AmbrelleThumbnailer() override;

    // The thumbnail when made already; otherwise a null image, and thumbnailReady follows
    // once a worker has made it (a file that gives no picture gets none).
    QImage thumbnailOf(const QString &path);
    // Drops the waiting requests; answers of the running ones are dropped too.
    void cancelPending();
    // Blocks until the workers are idle; for tests and tear-down.
    void waitForDone();

    // Made off the main thread: a picture of the photo or of the clip's first frame.
    static QImage makeThumbnail(const QString &path);
    static bool isVideoPath(const QString &path);

signals:
    void thumbnailReady(const QString &path, const QImage &thumbnail);

private:
    QString p_keyOf(const QString &path) const;

    QThreadPool m_pool;
    QCache<QString, QImage> m_cache;
    QSet<QString> m_pending;
    quint64 m_generation = 0; // a cancel makes every older request's answer stale
};
