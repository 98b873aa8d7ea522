#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"

#include <QString>

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

// What a movie file will be written as: the container taken from the path's extension and
// the output settings snapped to what its encoders and muxer accept.
struct ZKMovieFileProfile
{
    // The profile for writing path with format; error is set when the path's extension is
    // no known container or a codec does not fit it.
    static ZKMovieFileProfile of(const QString &path, const ZKFFMovieFileOutputFormat &format);

    bool isValid() const { return error.isEmpty(); }

    QString error;
    QString muxer;            // libavformat's short name
    bool takesVideo = false;  // the container holds pictures (m4a holds only sound)
    bool needsVideo = false;  // the container cannot do without pictures (DV)
    bool isDVD = false;       // a DVD work file
    bool fixedSize = false;   // the frame size is the format's, pictures are letterboxed
    QString videoEncoder;
    QString audioEncoder;
    AVPixelFormat pixelFormat = AV_PIX_FMT_YUV420P;
    AVRational frameRate{0, 1};     // exact frames per second
    AVRational sampleAspect{1, 1};  // pixel shape
    double displayAspect = 1.0;     // width / height of the shown picture
    int channels = 2;
    int gopSize = -1;               // -1: the encoder's own
    ZKFFMovieFileOutputFormat format{}; // the settings after snapping
};
