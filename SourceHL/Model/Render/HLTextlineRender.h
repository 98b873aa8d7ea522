#pragma once

#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class HLQuartzPool;
class HLRenderSizer;
class HLTextItem;
class HLTextlineItem;
class HLTextRender;

// Makes the title overlay of one frame: a transparent picture with the title on screen at a time
// it is given, or nothing. Static titles are drawn once and kept while nothing changes; template
// titles go through a kept text renderer while the template and size stay.
//
// A frame reads the text line and writes nothing of it: the static picture is kept by the style's
// edit generation (HLDirtyMark), so every renderer over the text line redraws an edited title.
// Edits go through the edit gate, which waits for the preview job. clear() is a request carried
// out at the start of the next frame.
class HLTextlineRender : public std::enable_shared_from_this<HLTextlineRender>
{
public:
    using FeedbackBlock = std::function<void(const QImage &overlay)>;

    // Nothing without a text line or a pool; the sizer may be missing (no overlay then).
    static std::shared_ptr<HLTextlineRender> textlineRenderOf(const std::shared_ptr<HLTextlineItem> &textline,
                                                              bool freely,
                                                              const std::shared_ptr<HLRenderSizer> &sizer,
                                                              const std::shared_ptr<HLQuartzPool> &textPool);
    ~HLTextlineRender();

    // The overlay at time (seconds on the text line).
    QImage renderPreview(float time);
    // Callable from a converter thread.
    QImage renderExport(float time);
    void clear();

    // The size overlays of the mode come out at (whole pixels); empty without a sizer.
    QSize frameSizeOf(HLRenderMode mode) const;

    HLRenderMode enType() const { return m_enType; }
    std::shared_ptr<HLTextlineItem> oTextline() const { return m_oTextline; }
    bool bFreely() const { return m_bFreely; }
    std::shared_ptr<HLRenderSizer> oSizer() const { return m_oSizer; }
    std::shared_ptr<HLQuartzPool> oTextPool() const { return m_oTextPool; }
    std::shared_ptr<HLTextRender> oTextRenderNow() const { return m_oTextRenderNow; }
    QImage imgStatic() const { return m_imgStatic; }

private:
    HLTextlineRender() = default;

    QImage p_render(HLRenderMode mode, float time);
    std::function<void()> p_renderOperationOf(float time, const FeedbackBlock &feedback);
    bool p_isSameRender(const HLTextRender *render, qint64 type, const QString &name, QSize size) const;
    std::shared_ptr<HLTextRender> p_renderOf(qint64 type, const QString &name) const;

    HLRenderMode m_enType = HLRenderModePreview;
    std::shared_ptr<HLTextlineItem> m_oTextline;
    bool m_bFreely = false;
    std::shared_ptr<HLRenderSizer> m_oSizer;
    std::shared_ptr<HLQuartzPool> m_oTextPool;
    std::shared_ptr<HLTextRender> m_oTextRenderNow;
    QImage m_imgStatic;
    QString m_strLastTTID;
    // The style edit the static picture shows.
    quint64 m_iStaticGeneration = 0;
    std::atomic<bool> m_bClearRequest{false};
};
