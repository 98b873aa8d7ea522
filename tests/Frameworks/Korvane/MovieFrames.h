#pragma once

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <QImage>

// The picture a movie shows at seconds, decoded on the calling thread.
inline QImage frameAt(ZKFFMovie &movie, double seconds)
{
    QImage image;
    movie.decodeImageAtTime(
        zk_ff_time_from_double(seconds),
        [&](const std::shared_ptr<ZKMovieImage> &frame) { image = frame->currentImage(); }, true);
    return image;
}
