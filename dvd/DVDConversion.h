#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"

#include <QString>

#include <memory>
#include <vector>

class HLJobState;
class VETimelineExportMovie;
class ZKSegmentMovie;

// One conversion of disc content into a DVD work file, whichever converter does it: the
// media framework's for segments, the export's for the slideshow (its sound mixed first).
// The one place the disc code drives a converter.
class DVDConversion
{
public:
    virtual ~DVDConversion() = default;
    // groupStarts: the output pictures where a chapter starts.
    static std::shared_ptr<DVDConversion> ofMovies(const std::vector<std::shared_ptr<ZKSegmentMovie>> &movies,
                                                   const QString &path, const ZKFFMovieFileOutputFormat &format,
                                                   std::vector<qint64> groupStarts = {});
    static std::shared_ptr<DVDConversion> ofSlideshow(const std::shared_ptr<VETimelineExportMovie> &movie,
                                                      const QString &path, const ZKFFMovieFileOutputFormat &format);

    virtual QString path() const = 0;
    // Starts the conversion and returns at once.
    virtual void startConvert() = 0;
    // The conversion's job: its progress, cancel, reason and end.
    virtual std::shared_ptr<HLJobState> jobState() const = 0;
};
