#include "tests/SourceHL/Windows/TemplatePools.h"

#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "widgets/HLResourceFolder.h"

#include <QDir>

void TemplatePools::setUp()
{
    const QDir templates(QDir(HLResourceFolder::path()).filePath(QStringLiteral("Templates")));
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Slideshow")), HLRenderTypeSlideshow);
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Transition")), HLRenderTypeTransition);
    HLQuartzPool::setupOf(templates.filePath(QStringLiteral("Text")), HLRenderTypeText);
    HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(QSizeF(120, 90));
}
