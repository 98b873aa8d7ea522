#include "dvd/DVDChapterVideo.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"

qint64 DVDChapterVideo::durationForVcMovies(const Movies &movies)
{
    qint64 total = 0;
    for (const auto &movie : movies) {
        if (movie)
            total += movie->duration();
    }
    return total;
}

double DVDChapterVideo::duration() const
{
    return zk_ff_time_to_double(durationForVcMovies(movies()));
}
