#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Trevanel/DVDTask.h"

#include <QString>

#include <memory>
#include <vector>

class VETimelineExportMovie;
class ZKSegmentMovie;

// One conversion of disc content into a DVD work file, whichever converter does it: the
// media framework's for segments, the export's for the slideshow (its sound mixed first).
// The one place the disc code drives a converter.
class DVDConversion : public DVDTask
{
public:
    // groupStarts: the output pictures where a chapter starts.
    static std::shared_ptr<DVDConversion> ofMovies(const std::vector<std::shared_ptr<ZKSegmentMovie>> &movies,
                                                   const QString &path, const ZKFFMovieFileOutputFormat &format,
                                                   std::vector<qint64> groupStarts = {});
    static std::shared_ptr<DVDConversion> ofSlideshow(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                      const QString &path, const ZKFFMovieFileOutputFormat &format);

    virtual QString path() const = 0;
    // Starts the conversion and returns at once.
    virtual void startConvert() = 0;
    virtual bool isFinished() const = 0;
    // Why it failed or was cancelled; empty after success.
    virtual QString errorString() const = 0;
};
