#include "dvd/EffectTextImage.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

QStringList EffectTextImage::allCoderKeys()
{
    return {QStringLiteral("backgroundType"), QStringLiteral("backgroundImage"), QStringLiteral("backgroundColor"),
            QStringLiteral("backgroundRadius"), QStringLiteral("textFontName"), QStringLiteral("textFontSize"),
            QStringLiteral("textString"), QStringLiteral("alignment"), QStringLiteral("textFillType"),
            QStringLiteral("textImage"), QStringLiteral("textGradient"), QStringLiteral("textColor"),
            QStringLiteral("textOutlineColor"), QStringLiteral("hasOutline"), QStringLiteral("outlineWidth"),
            QStringLiteral("backColorOnlyOnText")};
}

QFont EffectTextImage::textFont() const
{
    const int pixels = std::max(2, int(std::lround(std::max(textFontSize, 2.0))));
    QFont font(textFontName);
    font.setPixelSize(pixels);
    if (textFontName.isEmpty() || !QFontInfo(font).exactMatch()) {
        // "Times-Roman" is a PostScript name; the families behind it are looked up by family.
        const QString family = textFontName.section(QLatin1Char('-'), 0, 0);
        QFont byFamily(family);
        byFamily.setPixelSize(pixels);
        if (!family.isEmpty() && QFontInfo(byFamily).family().compare(family, Qt::CaseInsensitive) == 0)
            return byFamily;
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setPixelSize(pixels);
    }
    return font;
}

QStringList EffectTextImage::p_lines() const
{
    return textString.split(QLatin1Char('\n'));
}

QSizeF EffectTextImage::size() const
{
    const QFontMetricsF metrics(textFont());
    double width = 0;
    const QStringList lines = p_lines();
    for (const QString &line : lines)
        width = std::max(width, metrics.horizontalAdvance(line));
    return QSizeF(std::max(1.0, std::ceil(width)), std::max(1.0, std::ceil(metrics.lineSpacing() * lines.size())));
}

std::pair<qsizetype, qsizetype> EffectTextImage::rangeOfCharacterFromSet(const std::function<bool(QChar)> &set,
                                                                        const QString &string, qsizetype start,
                                                                        qsizetype length)
{
    qsizetype runStart = 0;
    qsizetype i = 0;
    for (; i < length && start + i < string.size(); ++i) {
        if (set(string[start + i]))
            continue;
        if (i > runStart)
            break;
        runStart = i + 1;
    }
    if (i <= runStart)
        return {-1, 0};
    return {start + runStart, i - runStart};
}

void EffectTextImage::p_drawLetters(QPainter &painter, bool outline) const
{
    const QFont font = textFont();
    const QFontMetricsF metrics(font);
    const double width = size().width();
    const QStringList lines = p_lines();
    QPainterPath path;
    for (int i = 0; i < lines.size(); ++i) {
        const double advance = metrics.horizontalAdvance(lines[i]);
        double x = 0;
        if (alignment == 1)
            x = width - advance;
        else if (alignment == 2)
            x = (width - advance) / 2;
        path.addText(QPointF(x, i * metrics.lineSpacing() + metrics.ascent()), font, lines[i]);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (outline) {
        // The stroke width is a percentage of the font size, as the text system takes it.
        const double percent = std::max(1.0f, outlineWidth) * 0.01 * font.pixelSize() * 0.1;
        painter.strokePath(path, QPen(textOutlineColor, percent * font.pixelSize() / 100.0));
    } else {
        painter.fillPath(path, textColor.isValid() ? textColor : QColor(Qt::black));
    }
    painter.restore();
}

void EffectTextImage::p_drawTextStringBackground(QPainter &painter) const
{
    const QFontMetricsF metrics(textFont());
    const double width = size().width();
    const QStringList lines = p_lines();
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        // Blanks at either end of a line have no background; those between words keep it.
        qsizetype first = 0;
        qsizetype last = line.size();
        const auto leading = rangeOfCharacterFromSet(isBlank, line, 0, line.size());
        if (leading.first == 0)
            first = leading.second;
        while (last > first && isBlank(line[last - 1]))
            --last;
        if (last <= first)
            continue;
        const double advance = metrics.horizontalAdvance(line);
        double x = 0;
        if (alignment == 1)
            x = width - advance;
        else if (alignment == 2)
            x = (width - advance) / 2;
        const double left = x + metrics.horizontalAdvance(line.left(first));
        const double right = x + metrics.horizontalAdvance(line.left(last));
        painter.fillRect(QRectF(left, i * metrics.lineSpacing(), right - left, metrics.lineSpacing()), backgroundColor);
    }
}

QImage EffectTextImage::textSourceImage() const
{
    const QSizeF textSize = size();
    const QRectF rect(QPointF(0, 0), textSize);
    QImage image(textSize.toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const double radius = double(std::min(float(textSize.width()), float(textSize.height())) * backgroundRadius * 0.5f);
    QPainterPath rounded;
    rounded.addRoundedRect(rect, radius, radius);
    painter.save();
    painter.setClipPath(rounded);
    if (backgroundType == BackgroundColor && !backColorOnlyOnText)
        painter.fillPath(rounded, backgroundColor);
    else if (backgroundType == BackgroundColor && backgroundColor.isValid())
        p_drawTextStringBackground(painter);
    else if (backgroundType == BackgroundImage && !backgroundImage.isNull())
        painter.drawImage(rect, backgroundImage);
    painter.restore();

    if (textFillType == FillGradient || textFillType == FillImage) {
        QImage letters(image.size(), QImage::Format_ARGB32_Premultiplied);
        letters.fill(Qt::transparent);
        QPainter lp(&letters);
        EffectTextImage plain = *this;
        plain.textColor = Qt::black;
        plain.p_drawLetters(lp, false);
        lp.setCompositionMode(QPainter::CompositionMode_SourceIn);
        if (textFillType == FillImage) {
            if (!textImage.isNull())
                lp.drawImage(rect, textImage);
        } else {
            const QColor top = textColor.isValid() ? textColor : QColor(Qt::black);
            QLinearGradient gradient(0, 0, 0, textSize.height());
            gradient.setColorAt(0, top);
            gradient.setColorAt(1, textGradientColor.isValid() ? textGradientColor : top);
            lp.fillRect(rect, gradient);
        }
        lp.end();
        painter.drawImage(rect, letters);
    } else {
        p_drawLetters(painter, false);
    }
    if (hasOutline)
        p_drawLetters(painter, true);
    return image;
}
