#pragma once

#include <QString>

// One file a movie reads from ("source.path").
struct ZKMovieMedia
{
    struct Source
    {
        QString path;
    };
    Source source;
};
