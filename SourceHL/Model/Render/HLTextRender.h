#pragma once

#include "SourceHL/Model/Render/HLRender.h"

#include <QColor>

// Draws an animated title through a text template; its time runs from 0 to 1 over the title.
// "FontSize" is given at the 600 × 450 reference canvas of static titles; the template scales it to
// the frame. Snapshots are not sharpened.
class HLTextRender : public HLRender
{
public:
    static std::unique_ptr<HLTextRender> initFreely(bool freely, const QString &name,
                                                    std::shared_ptr<const Composition> composition);
    // At the given pixel size instead of the render-context pool's; nothing for an empty size.
    static std::unique_ptr<HLTextRender> initSized(QSize size, const QString &name,
                                              std::shared_ptr<const Composition> composition);

    // Empties "Time", "Content", "FontName", "FontSize", "FontColor", "MoveIn", "MoveOut", "X", "Y".
    void clear();
    void updateContent(const QString &content);
    void updateFontName(const QString &fontName);
    void updateFontSize(double fontSize);
    void updateFontColor(const QColor &fontColor);
    void updateMoveIn(double moveIn);
    void updateMoveOut(double moveOut);
    void updateX(double x);
    void updateY(double y);

private:
    friend class HLRender;
    using HLRender::HLRender;
};
