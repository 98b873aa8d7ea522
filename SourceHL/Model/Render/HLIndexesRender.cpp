#include "SourceHL/Model/Render/HLIndexesRender.h"

namespace {
const QString kRenderKeyCount = QStringLiteral("Count");
const QString kRenderKeyIndexes = QStringLiteral("Indexs");
} // namespace

std::unique_ptr<HLIndexesRender> HLIndexesRender::initFreely(bool freely, const QString &name,
                                                             std::shared_ptr<const Composition> composition)
{
    return make<HLIndexesRender>(freely, HLRenderTypeGeneral, name, std::move(composition));
}

void HLIndexesRender::clear()
{
    setValue(kRenderKeyCount, QVariant());
}

std::set<std::size_t> HLIndexesRender::indexSetAt(float time, std::size_t count)
{
    setValue(kRenderKeyTime, p_solidTime(time, count));
    setValue(kRenderKeyCount, qulonglong(count));
    std::set<std::size_t> result;
    const QVariantMap indexes = value(kRenderKeyIndexes).toMap();
    for (const QVariant &v : indexes)
        result.insert(std::size_t(v.toULongLong()));
    return result;
}
