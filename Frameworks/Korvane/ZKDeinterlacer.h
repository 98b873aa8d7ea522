#pragma once

#include <QtGlobal>

struct AVFilterContext;
struct AVFilterGraph;
struct AVFrame;
struct AVStream;

// Weaves the two fields of interlaced pictures into whole ones (libavfilter's bwdif, one
// output picture per input picture) so that moving edges show no comb teeth. Pictures go in
// decoding order with their times in ticks as pts and come out one picture later with the
// same times; end() lets the last one out. Not thread-safe.
class ZKDeinterlacer
{
public:
    // Whether the stream or this picture of it says it is interlaced.
    static bool isInterlaced(const AVStream *stream, const AVFrame *frame);

    explicit ZKDeinterlacer(const AVStream *stream);
    ~ZKDeinterlacer();
    ZKDeinterlacer(const ZKDeinterlacer &) = delete;
    ZKDeinterlacer &operator=(const ZKDeinterlacer &) = delete;

    // Takes frame (emptied); false when the filter can't be set up for it.
    bool push(AVFrame *frame);
    void end();
    // The next woven picture into out, its pts in ticks; false when none is ready.
    bool pull(AVFrame *out);
    // Forgets the pictures held, after a jump.
    void reset();

private:
    bool setUp(const AVFrame *frame);

    bool m_allFrames; // the stream says interlaced: every picture is, marked or not
    AVFilterGraph *m_graph = nullptr;
    AVFilterContext *m_source = nullptr;
    AVFilterContext *m_sink = nullptr;
    int m_width = 0;
    int m_height = 0;
    int m_format = -1;
};
