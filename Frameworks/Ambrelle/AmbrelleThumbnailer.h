#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <memory>
#include <mutex>

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
    // Workers at a time: the browser stays quick without taking the machine from the preview.
    static constexpr int kWorkers = 2;

    explicit AmbrelleThumbnailer(QObject *parent = nullptr);
    ~AmbrelleThumbnailer() override;

    // The thumbnail when made already; otherwise a null image, and thumbnailReady follows
    // once a worker has made it (a file that gives no picture gets none, and is not tried again).
    QImage thumbnailOf(const QString &path);
    // Drops the waiting requests; answers of the running ones are dropped too.
    void cancelPending();
    // Blocks until no worker runs (their answers may still be on their way to the main
    // thread); for tests and tear-down.
    void waitForDone();

    // Made off the main thread: a picture of the photo or of the clip's first frame.
    static QImage makeThumbnail(const QString &path);
    static bool isVideoPath(const QString &path);

signals:
    void thumbnailReady(const QString &path, const QImage &thumbnail);

private:
    // What the workers share with the main thread.
    struct Workers
    {
        std::mutex mutex;
        std::condition_variable idle;
        int running = 0;
    };

    QString p_keyOf(const QString &path) const;
    void p_startNext();
    void p_made(const QString &path, const QString &key, quint64 generation, const QImage &thumbnail);

    std::shared_ptr<Workers> m_workers = std::make_shared<Workers>();
    std::shared_ptr<int> m_alive = std::make_shared<int>(0); // expires with the thumbnailer
    QCache<QString, QImage> m_cache;
    QSet<QString> m_pending;  // asked for and not answered, by key
    QStringList m_queue;      // asked for and not started, by path
    quint64 m_generation = 0; // a cancel makes every older request's answer stale
};
