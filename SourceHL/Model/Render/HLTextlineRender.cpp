#include "SourceHL/Model/Render/HLTextlineRender.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderFrameSize.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLTextRender.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"

std::shared_ptr<HLTextlineRender> HLTextlineRender::textlineRenderOf(const std::shared_ptr<HLTextlineItem> &textline,
                                                                     bool freely,
                                                                     const std::shared_ptr<HLRenderSizer> &sizer,
                                                                     const std::shared_ptr<HLQuartzPool> &textPool)
{
    if (!textline || !textPool)
        return nullptr;
    std::shared_ptr<HLTextlineRender> render(new HLTextlineRender());
    render->m_oTextline = textline;
    render->m_bFreely = freely;
    render->m_oSizer = sizer;
    render->m_oTextPool = textPool;
    return render;
}

HLTextlineRender::~HLTextlineRender() = default;

QSize HLTextlineRender::frameSizeOf(HLRenderMode mode) const
{
    return hlRenderFrameSize(m_oSizer.get(), m_bFreely, mode);
}

QImage HLTextlineRender::renderPreview(float time)
{
    return p_render(HLRenderModePreview, time);
}

QImage HLTextlineRender::renderExport(float time)
{
    return p_render(HLRenderModeExport, time);
}

void HLTextlineRender::clear()
{
    m_bClearRequest = true;
}

QImage HLTextlineRender::p_render(HLRenderMode mode, float time)
{
    if (m_bClearRequest.exchange(false)) {
        m_oTextRenderNow.reset();
        m_imgStatic = QImage();
        m_strLastTTID.clear();
    }
    if (m_oTextline->aryItems().isEmpty())
        return {};
    m_enType = mode;
    QImage overlay;
    p_renderOperationOf(time, [&overlay](const QImage &image) { overlay = image; })();
    return overlay;
}

std::function<void()> HLTextlineRender::p_renderOperationOf(float time, const FeedbackBlock &feedback)
{
    const QSize size = frameSizeOf(m_enType);
    const auto original = m_oTextline->textItemAt(time);
    if (!original || size.isEmpty()) {
        m_oTextRenderNow.reset();
        m_imgStatic = QImage();
        m_strLastTTID.clear();
        return [feedback] { feedback(QImage()); };
    }
    // The operation draws a copy, so what it draws is what the text line held now.
    const auto title = original->copy();
    const quint64 generation = original->oTextEdit()->iDirtyGeneration();
    const QString ttid = title->strTTID();
    const auto style = title->oTextEdit();
    std::function<void()> operation;
    if (style->enType() != HLTextEdit::HLTextEditTypeStatic) {
        m_imgStatic = QImage();
        const QString name = title->oTextInfo() ? title->oTextInfo()->strName() : QString();
        std::shared_ptr<HLTextRender> render;
        render.swap(m_oTextRenderNow);
        if (!p_isSameRender(render.get(), 3, name, size))
            render = p_renderOf(3, name);
        const float offset = time - title->dPlayMin();
        m_oTextRenderNow = render;
        operation = [render, title, offset, feedback] {
            QImage picture;
            if (render) {
                const auto s = title->oTextEdit();
                render->updateContent(s->strText());
                render->updateFontName(s->strFont());
                render->updateFontSize(double(s->dFontSize()));
                render->updateFontColor(s->clFont());
                render->updateMoveIn(double(title->dynamicMoveInRatio()));
                render->updateMoveOut(double(title->dynamicMoveOutRatio()));
                render->updateX(double(title->dynamicCenterX()));
                render->updateY(double(title->dynamicCenterY()));
                picture = render->snapshotNSImageAt(offset / title->playDuration());
            }
            feedback(picture);
        };
    } else {
        m_oTextRenderNow.reset();
        // Sizes are whole pixels, as the static picture is, so a kept picture matches.
        if (generation == m_iStaticGeneration && ttid == m_strLastTTID && !m_imgStatic.isNull()
            && m_imgStatic.size() == size) {
            const QImage kept = m_imgStatic;
            operation = [kept, feedback] { feedback(kept); };
        } else {
            m_imgStatic = QImage();
            m_iStaticGeneration = generation;
            const std::weak_ptr<HLTextlineRender> weak = weak_from_this();
            operation = [weak, title, size, feedback] {
                const QImage picture = title->staticImageOfSize(QSizeF(size));
                if (const auto self = weak.lock())
                    self->m_imgStatic = picture;
                feedback(picture);
            };
        }
    }
    m_strLastTTID = ttid;
    return operation;
}

bool HLTextlineRender::p_isSameRender(const HLTextRender *render, qint64 type, const QString &name,
                                      QSize size) const
{
    HL_ASSERT(!name.isEmpty(), "what the hell");
    if (!render || render->strName() != name)
        return false;
    return type == 1 || render->szSize() == QSizeF(size);
}

std::shared_ptr<HLTextRender> HLTextlineRender::p_renderOf(qint64 type, const QString &name) const
{
    HL_ASSERT(!name.isEmpty(), "what the hell");
    if (type != 3)
        return nullptr;
    const auto quartz = m_oTextPool->quartzOf(name);
    const auto composition = quartz ? quartz->oContent() : nullptr;
    if (m_bFreely)
        return HLTextRender::initFreely(true, name, composition);
    return HLTextRender::initSized(frameSizeOf(m_enType), name, composition);
}
