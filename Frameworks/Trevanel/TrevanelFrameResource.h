#pragma once

#include <QImage>
#include <QString>

// A built-in button frame: the frame picture laid over a button's picture, and the mask
// whose opaque pixels erase the picture outside the frame's opening.
class TrevanelFrameResource
{
public:
    TrevanelFrameResource(QString name, QImage frameImage, QImage maskImage);

    QString name() const { return m_name; }
    QImage frameImage() const { return m_frameImage; }
    QImage maskImage() const { return m_maskImage; }

private:
    QString m_name;
    QImage m_frameImage;
    QImage m_maskImage;
};
