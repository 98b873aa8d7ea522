#include "SourceHL/Model/Resource/HLResourceItem.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Model/Resource/HLCutShort.h"
#include "SourceHL/Model/Resource/HLFileClone.h"

#include <QDir>
#include <QFileInfo>

namespace {

std::shared_ptr<ZKFFMovie> movieOf(const QString &path)
{
    const auto segment = ZKSegmentMovie::movieWithPath(path);
    return segment ? std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie()) : nullptr;
}

QVariantMap preprocessAudio(const QString &path, QString *reason)
{
    const QFileInfo placed(path);
    const QString target = placed.dir().filePath(QStringLiteral("Audio"));
    if (!HLFileClone::linkOrClone(path, target, reason))
        return {};
    const auto movie = movieOf(target);
    if (!movie || !movie->hasAudio()) {
        if (reason)
            *reason = QStringLiteral("\"%1\" holds no sound").arg(path);
        return {};
    }
    if (reason)
        *reason = hl_cutShortWarning(path, *movie);
    return {
        {QStringLiteral("Name"), placed.completeBaseName()},
        {QStringLiteral("Format"), placed.suffix()},
        {QStringLiteral("Duration"), float(zk_ff_time_to_double(movie->duration()))},
    };
}

} // namespace

void HLResourceItem::configureForAudio()
{
    const PathMap audio = [](const QString &folder) { return QDir(folder).filePath(QStringLiteral("Audio")); };
    setUpPathMapPreview(audio, audio, HLResourceTypeAudio);
    setUpPreprocess(preprocessAudio, HLResourceTypeAudio);
    setUpInitiation([](const QString &path) -> HLResourceObject { return movieOf(path); }, HLResourceTypeAudio);
}

bool HLResourceItem::isKindOfAudio(const QString &path)
{
    const auto segment = ZKSegmentMovie::movieWithPath(path);
    const auto movie = segment ? std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie()) : nullptr;
    return movie && segment->duration() > zk_ff_time_from_double(0.01) && movie->hasAudio();
}

QString HLResourceItem::audioName() const
{
    return isAudio() ? m_dicInfo.value(QStringLiteral("Name")).toString() : QString();
}

QString HLResourceItem::audioFormat() const
{
    return isAudio() ? m_dicInfo.value(QStringLiteral("Format")).toString() : QString();
}

float HLResourceItem::audioDuration() const
{
    return isAudio() ? m_dicInfo.value(QStringLiteral("Duration")).toFloat() : 0.0f;
}

std::shared_ptr<ZKFFMovie> HLResourceItem::audio() const
{
    if (!isAudio())
        return nullptr;
    const HLResourceObject preview = oResourcePreview();
    const HLResourceObject &object = std::holds_alternative<std::monostate>(preview) ? oResourceSource() : preview;
    const auto *movie = std::get_if<std::shared_ptr<ZKFFMovie>>(&object);
    return movie ? *movie : nullptr;
}
