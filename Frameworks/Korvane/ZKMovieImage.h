#pragma once

#include <QImage>
#include <QtGlobal>

// One decoded frame handed to a frame action. Frames made by other sources (a rendered
// project frame, a menu page) derive from it and make their picture on request.
class ZKMovieImage
{
public:
    ZKMovieImage() = default;
    explicit ZKMovieImage(QImage image, qint64 time = 0);
    virtual ~ZKMovieImage() = default;

    // Takes another frame's picture and time over, so one frame object can be refilled.
    void loadReferencedMovieImage(const ZKMovieImage &other);

    // The frame's pixels (premultiplied ARGB32), or a null image.
    virtual QImage currentImage() const;

    qint64 time() const { return m_time; }

protected:
    QImage m_image;
    qint64 m_time = 0;
};
