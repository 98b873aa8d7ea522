#include "Frameworks/Korvane/ZKDeinterlacer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavformat/avformat.h>
}

#include <QByteArray>

#include <algorithm>

namespace {

bool saysInterlaced(const AVStream *stream)
{
    const AVFieldOrder order = stream->codecpar->field_order;
    return order == AV_FIELD_TT || order == AV_FIELD_BB || order == AV_FIELD_TB || order == AV_FIELD_BT;
}

} // namespace

bool ZKDeinterlacer::isInterlaced(const AVStream *stream, const AVFrame *frame)
{
    return saysInterlaced(stream) || (frame && frame->interlaced_frame);
}

ZKDeinterlacer::ZKDeinterlacer(const AVStream *stream)
    : m_allFrames(saysInterlaced(stream))
{
}

ZKDeinterlacer::~ZKDeinterlacer()
{
    avfilter_graph_free(&m_graph);
}

void ZKDeinterlacer::reset()
{
    avfilter_graph_free(&m_graph);
    m_source = m_sink = nullptr;
    m_format = -1;
}

bool ZKDeinterlacer::setUp(const AVFrame *frame)
{
    reset();
    m_graph = avfilter_graph_alloc();
    if (!m_graph)
        return false;
    m_graph->nb_threads = 1; // the decoder already uses every core
    const QByteArray source = QByteArray("video_size=") + QByteArray::number(frame->width) + "x"
                              + QByteArray::number(frame->height) + ":pix_fmt=" + QByteArray::number(frame->format)
                              + ":time_base=1/" + QByteArray::number(AV_TIME_BASE) + ":pixel_aspect="
                              + QByteArray::number(std::max(frame->sample_aspect_ratio.num, 1)) + "/"
                              + QByteArray::number(std::max(frame->sample_aspect_ratio.den, 1));
    // Fields take their order from each picture; unmarked pictures are left alone unless
    // the stream says all of them are interlaced.
    const char *weave = m_allFrames ? "mode=send_frame:parity=auto:deint=all"
                                    : "mode=send_frame:parity=auto:deint=interlaced";
    AVFilterContext *bwdif = nullptr;
    const bool made = avfilter_graph_create_filter(&m_source, avfilter_get_by_name("buffer"), "in",
                                                   source.constData(), nullptr, m_graph) >= 0
                      && avfilter_graph_create_filter(&bwdif, avfilter_get_by_name("bwdif"), "weave", weave,
                                                      nullptr, m_graph) >= 0
                      && avfilter_graph_create_filter(&m_sink, avfilter_get_by_name("buffersink"), "out",
                                                      nullptr, nullptr, m_graph) >= 0
                      && avfilter_link(m_source, 0, bwdif, 0) >= 0 && avfilter_link(bwdif, 0, m_sink, 0) >= 0
                      && avfilter_graph_config(m_graph, nullptr) >= 0;
    if (!made) {
        reset();
        return false;
    }
    m_width = frame->width;
    m_height = frame->height;
    m_format = frame->format;
    return true;
}

bool ZKDeinterlacer::push(AVFrame *frame)
{
    if (!m_graph || frame->width != m_width || frame->height != m_height || frame->format != m_format) {
        if (!setUp(frame))
            return false;
    }
    return av_buffersrc_add_frame(m_source, frame) >= 0;
}

void ZKDeinterlacer::end()
{
    // A graph that cannot take the end has nothing more to give.
    if (m_source && av_buffersrc_add_frame(m_source, nullptr) < 0)
        reset();
}

bool ZKDeinterlacer::pull(AVFrame *out)
{
    if (!m_sink || av_buffersink_get_frame(m_sink, out) < 0)
        return false;
    // The filter counts in half the time base it was given, room for a picture per field.
    out->pts = av_rescale_q(out->pts, av_buffersink_get_time_base(m_sink), AVRational{1, AV_TIME_BASE});
    return true;
}
