#include "Frameworks/Korvane/ZKMovieImage.h"

ZKMovieImage::ZKMovieImage(QImage image, qint64 time) : m_image(std::move(image)), m_time(time) {}

void ZKMovieImage::loadReferencedMovieImage(const ZKMovieImage &other)
{
    if (&other == this)
        return;
    m_image = other.currentImage();
    m_time = other.time();
}

QImage ZKMovieImage::currentImage() const
{
    return m_image;
}

