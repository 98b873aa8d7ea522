#pragma once

#include "Platform/Composer/CompositionRenderer.h"
#include "SourceHL/Model/Render/HLRenderType.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QVariant>

#include <cstddef>
#include <memory>

class Composition;

// Port names of the compositions shared with the rest of the program.
inline const QString kRenderKeyTime = QStringLiteral("Time");
inline const QString kRenderKeyInputImage = QStringLiteral("Image");

// Runs one template composition off screen and answers its picture at a template time. Made over
// a composition of the template catalogue; the composition stays shared and unchanged. Used by one
// thread at a time.
class HLRender
{
public:
    virtual ~HLRender();

    // A general renderer (type 1); nothing for an absent composition or a size the render-context
    // pool cannot give (not set yet).
    static std::unique_ptr<HLRender> initFreely(bool freely, const QString &name,
                                                std::shared_ptr<const Composition> composition);

    // The picture at a template time, sharpened unless the type draws what is sharp already.
    virtual QImage snapshotNSImageAt(float time);

    const QString &strName() const { return m_strName; }
    void setStrName(const QString &name) { m_strName = name; }
    QSizeF szSize() const { return m_szSize; }
    bool bSharpen() const { return m_bSharpen; }
    void setBSharpen(bool sharpen) { m_bSharpen = sharpen; }
    float dSharpeness() const { return m_dSharpeness; }
    void setDSharpeness(float sharpness) { m_dSharpeness = sharpness; }
    HLRenderType enType() const { return m_enType; }

    // Sets a port of the composition (an invalid value empties it) and reads one back.
    void setValue(const QString &key, const QVariant &value) { m_renderer.setValue(key, value); }
    QVariant value(const QString &key) const { return m_renderer.value(key); }

protected:
    HLRender(HLRenderType type, const QString &name, std::shared_ptr<const Composition> composition, QSize size);
    // The context size for the type, or an empty size when none can be made.
    static QSize contextSizeOf(bool freely, HLRenderType type);

    template <typename R>
    static std::unique_ptr<R> make(bool freely, HLRenderType type, const QString &name,
                                   std::shared_ptr<const Composition> composition)
    {
        if (!composition)
            return nullptr;
        const QSize size = contextSizeOf(freely, type);
        if (size.isEmpty())
            return nullptr;
        return std::unique_ptr<R>(new R(type, name, std::move(composition), size));
    }
    // The same at a size of the caller's (an export renders at the project's full size while the
    // shared limit size serves the preview).
    template <typename R>
    static std::unique_ptr<R> makeSized(QSize size, HLRenderType type, const QString &name,
                                        std::shared_ptr<const Composition> composition)
    {
        if (!composition || size.isEmpty())
            return nullptr;
        return std::unique_ptr<R>(new R(type, name, std::move(composition), size));
    }

    // The composition's "Time" for a time of the caller's.
    virtual double p_compositionTime(float time) const { return time; }
    // A slideshow template's time for count pictures, kept inside its solid length: the model's
    // single-precision times can land a hair past the template's own total at the very end, where
    // the last picture would no longer count as shown.
    double p_solidTime(float time, std::size_t count) const;

    CompositionRenderer m_renderer;

private:
    QImage p_render(float time);
    QImage p_sharpenedSnapshot(float time);

    bool m_bSharpen;
    float m_dSharpeness = 0.4f;
    QString m_strName;
    HLRenderType m_enType;
    QSizeF m_szSize;
    // The last sharpened snapshot and the drawing it came from: a composition that draws the
    // very same pixels again (a still moment of a template) is not sharpened again.
    qint64 m_iLastDrawing = 0;
    float m_dLastSharpeness = 0;
    QImage m_imgLastSharpened;
};
