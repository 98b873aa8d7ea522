#include "Frameworks/Ambrelle/AmbrelleThumbnailer.h"

#include "Frameworks/Korvane/ZKVideoReader.h"
#include "Platform/Imaging/PhotoReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>

namespace {

const QStringList kVideoSuffixes = {"mp4", "m4v", "mov", "avi", "mkv", "mpg", "mpeg", "wmv", "webm", "3gp", "mts"};
const QSize kBox(AmbrelleThumbnailer::kThumbnailWidth, AmbrelleThumbnailer::kThumbnailHeight);

} // namespace

AmbrelleThumbnailer::AmbrelleThumbnailer(QObject *parent) : QObject(parent)
{
    // Two workers keep the browser quick without taking the machine from the preview.
    m_pool.setMaxThreadCount(2);
    m_cache.setMaxCost(2000);
}

AmbrelleThumbnailer::~AmbrelleThumbnailer()
{
    m_pool.clear();
    m_pool.waitForDone();
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
    QPointer<AmbrelleThumbnailer> self(this);
    const quint64 generation = m_generation;
    m_pool.start([self, path, key, generation] {
        const QImage thumbnail = makeThumbnail(path);
        QMetaObject::invokeMethod(
            qApp,
            [self, path, key, generation, thumbnail] {
                if (!self || generation != self->m_generation)
                    return;
                self->m_pending.remove(key);
                if (thumbnail.isNull())
                    return;
                self->m_cache.insert(key, new QImage(thumbnail));
                emit self->thumbnailReady(path, thumbnail);
            },
            Qt::QueuedConnection);
    });
    return {};
}

void AmbrelleThumbnailer::cancelPending()
{
    m_pool.clear();
    m_pending.clear();
    ++m_generation;
}

void AmbrelleThumbnailer::waitForDone()
{
    m_pool.waitForDone();
}
