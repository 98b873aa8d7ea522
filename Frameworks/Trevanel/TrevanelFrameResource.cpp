#include "Frameworks/Trevanel/TrevanelFrameResource.h"

TrevanelFrameResource::TrevanelFrameResource(QString name, QImage frameImage, QImage maskImage)
    : m_name(std::move(name)), m_frameImage(std::move(frameImage)), m_maskImage(std::move(maskImage))
{
}
