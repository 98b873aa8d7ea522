#pragma once

#include "SourceHL/Model/Render/HLRenderType.h"

#include <QImage>
#include <QString>
#include <QVariantMap>

#include <memory>

class Composition;

// One loaded template: its compositions, thumbnail and info dictionary (the property list with
// "QuartzName" holding the name and "ThumbnailName" the thumbnail picture). Read-only once loaded.
class HLQuartzItem
{
public:
    HLQuartzItem(HLRenderType type, const QString &name, std::shared_ptr<const Composition> content,
                 std::shared_ptr<const Composition> indexes, const QImage &thumb, const QVariantMap &info);

    HLRenderType enType() const { return m_enType; }
    const QString &strName() const { return m_strName; }
    const std::shared_ptr<const Composition> &oContent() const { return m_oContent; }
    // Slideshow templates always have one: the file the property list names, else derived from
    // the main composition.
    const std::shared_ptr<const Composition> &oIndexes() const { return m_oIndexes; }
    const QImage &imgThumb() const { return m_imgThumb; }
    const QVariantMap &dicInfo() const { return m_dicInfo; }

private:
    HLRenderType m_enType;
    QString m_strName;
    std::shared_ptr<const Composition> m_oContent;
    std::shared_ptr<const Composition> m_oIndexes;
    QImage m_imgThumb;
    QVariantMap m_dicInfo;
};
