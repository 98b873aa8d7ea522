#include "TimelineFixtures.h"

#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLQuartzKeys.h"

namespace TimelineFixtures {

std::shared_ptr<HLResourceItem> photo(const QString &hash, double width, double height)
{
    return std::make_shared<HLResourceItem>(HLResourceTypeImage, QStringLiteral("TI") + hash, hash,
                                            QVariantMap{{"Name", "photo" + hash},
                                                        {"Format", "png"},
                                                        {"Thumbnail", thumb(Qt::green)},
                                                        {"Resolution", QSizeF(width, height)}});
}

std::shared_ptr<HLResourceItem> clip(const QString &hash, float duration, double width, double height)
{
    return std::make_shared<HLResourceItem>(HLResourceTypeVideo, QStringLiteral("TV") + hash, hash,
                                            QVariantMap{{"Name", "clip" + hash},
                                                        {"Format", "mp4"},
                                                        {"Duration", duration},
                                                        {"Thumbnail", thumb(Qt::blue)},
                                                        {"Resolution", QSizeF(width, height)}});
}

QVariantMap slideshowTemplate(const QString &name, Phases phases, bool preferBorder, bool preferBack)
{
    return {
        {kQuartzTypeKey, kQuartzTypeValueSlideshow},
        {kQuartzKeyName, name},
        {kQuartzKeyThumbName, thumb(Qt::yellow)},
        {kQuartzKeyBestCount, 4},
        {kQuartzKeyBestDuration, 12.5},
        {kQuartzKeyDecorationBack, preferBack},
        {kQuartzKeyDecorationBorder, preferBorder},
        {kQuartzKeyDurationTS, phases.ts},
        {kQuartzKeyDurationS, phases.s},
        {kQuartzKeyDurationT, phases.t},
        {kQuartzKeyDurationTA, phases.ta},
        {kQuartzKeyDurationTA2, phases.ta2},
        {kQuartzKeyDurationTB, phases.tb},
        {kQuartzKeyDurationTB2, phases.tb2},
    };
}

QVariantMap transitionTemplate(const QString &name, float best)
{
    return {
        {kQuartzTypeKey, kQuartzTypeValueTransition},
        {kQuartzKeyName, name},
        {kQuartzKeyThumbName, thumb(Qt::cyan)},
        {kQuartzKeyBestDuration, best},
    };
}

QImage thumb(QColor color)
{
    QImage image(4, 3, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

} // namespace TimelineFixtures
