#include "SourceHL/Model/Render/HLTextRender.h"

namespace {
const QString kRenderKeyContent = QStringLiteral("Content");
const QString kRenderKeyFontName = QStringLiteral("FontName");
const QString kRenderKeyFontSize = QStringLiteral("FontSize");
const QString kRenderKeyFontColor = QStringLiteral("FontColor");
const QString kRenderKeyMoveIn = QStringLiteral("MoveIn");
const QString kRenderKeyMoveOut = QStringLiteral("MoveOut");
const QString kRenderKeyX = QStringLiteral("X");
const QString kRenderKeyY = QStringLiteral("Y");
} // namespace

std::unique_ptr<HLTextRender> HLTextRender::initFreely(bool freely, const QString &name,
                                                       std::shared_ptr<const Composition> composition)
{
    return make<HLTextRender>(freely, HLRenderTypeText, name, std::move(composition));
}

std::unique_ptr<HLTextRender> HLTextRender::initSized(QSize size, const QString &name,
                                                          std::shared_ptr<const Composition> composition)
{
    return makeSized<HLTextRender>(size, HLRenderTypeText, name, std::move(composition));
}

void HLTextRender::clear()
{
    for (const QString &key : {kRenderKeyTime, kRenderKeyContent, kRenderKeyFontName, kRenderKeyFontSize,
                               kRenderKeyFontColor, kRenderKeyMoveIn, kRenderKeyMoveOut, kRenderKeyX, kRenderKeyY})
        setValue(key, QVariant());
}

void HLTextRender::updateContent(const QString &content) { setValue(kRenderKeyContent, content); }
void HLTextRender::updateFontName(const QString &fontName) { setValue(kRenderKeyFontName, fontName); }
void HLTextRender::updateFontSize(double fontSize) { setValue(kRenderKeyFontSize, fontSize); }
void HLTextRender::updateFontColor(const QColor &fontColor) { setValue(kRenderKeyFontColor, fontColor); }
void HLTextRender::updateMoveIn(double moveIn) { setValue(kRenderKeyMoveIn, moveIn); }
void HLTextRender::updateMoveOut(double moveOut) { setValue(kRenderKeyMoveOut, moveOut); }
void HLTextRender::updateX(double x) { setValue(kRenderKeyX, x); }
void HLTextRender::updateY(double y) { setValue(kRenderKeyY, y); }
