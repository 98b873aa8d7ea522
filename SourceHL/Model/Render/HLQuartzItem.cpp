#include "SourceHL/Model/Render/HLQuartzItem.h"

#include "Platform/Composer/Composition.h"

HLQuartzItem::HLQuartzItem(HLRenderType type, const QString &name, std::shared_ptr<const Composition> content,
                           std::shared_ptr<const Composition> indexes, const QImage &thumb, const QVariantMap &info)
    : m_enType(type), m_strName(name), m_oContent(std::move(content)), m_oIndexes(std::move(indexes)),
      m_imgThumb(thumb), m_dicInfo(info)
{
}
