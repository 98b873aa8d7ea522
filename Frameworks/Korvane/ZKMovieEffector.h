#pragma once

#include <QSize>
#include <QString>

// The picture settings a movie is played with; two pieces of one file join into one title
// only when their settings agree.
struct ZKMovieEffector
{
    bool hflip = false;
    bool vflip = false;
    float rotate = 0;
    float saturation = 1;
    float brightness = 0;
    float contrast = 1;
    float hue = 0;
    QString effectName; // empty: none
    QSize displaySize;
    QString cropRectString;
    QString outputVideoSizeString;
};
