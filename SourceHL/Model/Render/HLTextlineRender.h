#pragma once

#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class HLQuartzPool;
class HLRenderSizer;
class HLTextItem;
class HLTextlineItem;
class HLTextRender;

// Makes the title overlay of one frame: a transparent picture with the title on screen at the
// text line's current time, or nothing. Static titles are drawn once and kept while nothing
// changes; template titles go through a kept text renderer while the template and size stay.
//
// The preview worker must not read a title while the editor changes it on the main thread, so
// the shell's play step calls prepareTitle() on the main thread after updating the text line:
// the next renderPreview() draws that copy. Without a prepared copy (and always for export,
// during which nothing is edited) the rendering thread copies the title itself. clear() is a
// request carried out at the start of the next frame.
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

    // Main thread: copies the title at the text line's dNowTime (and takes its dirty mark) for
    // the next preview frame.
    void prepareTitle();
    QImage renderPreview();
    // Callable from a converter thread.
    QImage renderExport();
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
    QString strLastTTID() const { return m_strLastTTID; }

private:
    // A title as one frame sees it.
    struct Shot
    {
        bool hasTitles = false;
        float time = 0;
        std::shared_ptr<HLTextItem> title; // a copy; null when none is on screen
        bool dirty = false;
    };

    HLTextlineRender() = default;

    QImage p_render(HLRenderMode mode);
    Shot p_shotOf(bool takeDirty) const;
    std::function<void()> p_renderOperationOf(const Shot &shot, const FeedbackBlock &feedback);
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

    std::mutex m_shotLock; // the prepared copy, handed from the main thread to the worker
    std::unique_ptr<Shot> m_prepared;
    std::atomic<bool> m_bClearRequest{false};
};
