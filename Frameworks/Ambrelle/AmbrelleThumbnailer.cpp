#include "Frameworks/Ambrelle/AmbrelleThumbnailer.h"

#include "Frameworks/Korvane/ZKVideoReader.h"
#include "Platform/Foundation/HLDispatch.h"
#include "Platform/Imaging/PhotoReader.h"

#include <QDateTime>
#include <QFileInfo>

namespace {

const QStringList kVideoSuffixes = {"mp4", "m4v", "mov", "avi", "mkv", "mpg", "mpeg", "wmv", "webm", "3gp", "mts"};
const QSize kBox(AmbrelleThumbnailer::kThumbnailWidth, AmbrelleThumbnailer::kThumbnailHeight);

} // namespace

AmbrelleThumbnailer::AmbrelleThumbnailer(QObject *parent) : QObject(parent)
{
    m_cache.setMaxCost(2000);
}

AmbrelleThumbnailer::~AmbrelleThumbnailer()
{
    m_queue.clear();
    waitForDone();
}

bool AmbrelleThumbnailer::isVideoPath(const QString &path)
{
    return kVideoSuffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

QImage AmbrelleThumbnailer::makeThumbnail(const QString &path)
{
    QImage picture;
    if (isVideoPath(path)) {
        if (auto reader = ZKVideoReader::open(path))
            picture = reader->frameAt(0, QSize());
    } else {
        picture = PhotoReader::load(path, kBox);
    }
    if (picture.isNull())
        return picture;
    return picture.scaled(kBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QString AmbrelleThumbnailer::p_keyOf(const QString &path) const
{
    // A file changed since its thumbnail was made gets a new one.
    const QFileInfo info(path);
    return path + QLatin1Char('\n') + QString::number(info.lastModified().toMSecsSinceEpoch()) +
           QLatin1Char('\n') + QString::number(info.size());
}

QImage AmbrelleThumbnailer::thumbnailOf(const QString &path)
{
    const QString key = p_keyOf(path);
    if (QImage *made = m_cache.object(key))
        return *made;
    if (m_pending.contains(key))
        return {};
    m_pending.insert(key);
    m_queue.append(path);
    p_startNext();
    return {};
}

void AmbrelleThumbnailer::p_startNext()
{
    while (!m_queue.isEmpty()) {
        {
            std::lock_guard lock(m_workers->mutex);
            if (m_workers->running >= kWorkers)
                return;
            ++m_workers->running;
        }
        const QString path = m_queue.takeFirst();
        const QString key = p_keyOf(path);
        const quint64 generation = m_generation;
        // The worker only carries this pointer back; it is used on the main thread, and only
        // while the token says the thumbnailer still exists.
        AmbrelleThumbnailer *self = this;
        const std::weak_ptr<int> alive = m_alive;
        const std::shared_ptr<Workers> workers = m_workers;
        HLDispatch::inBackground([self, alive, workers, path, key, generation] {
            const QImage thumbnail = makeThumbnail(path);
            {
                std::lock_guard lock(workers->mutex);
                --workers->running;
            }
            workers->idle.notify_all();
            HLDispatch::onMain([self, alive, path, key, generation, thumbnail] {
                if (alive.lock())
                    self->p_made(path, key, generation, thumbnail);
            });
        });
    }
}

void AmbrelleThumbnailer::p_made(const QString &path, const QString &key, quint64 generation, const QImage &thumbnail)
{
    if (generation == m_generation) {
        m_pending.remove(key);
        // A file that gives no picture is kept too: every repaint of its cell would decode it again.
        m_cache.insert(key, new QImage(thumbnail));
        if (!thumbnail.isNull())
            emit thumbnailReady(path, thumbnail);
    }
    p_startNext();
}

void AmbrelleThumbnailer::cancelPending()
{
    m_queue.clear();
    m_pending.clear();
    ++m_generation;
}

void AmbrelleThumbnailer::waitForDone()
{
    std::unique_lock lock(m_workers->mutex);
    m_workers->idle.wait(lock, [this] { return m_workers->running == 0; });
}
