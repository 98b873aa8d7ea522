#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

// A styled text drawn as a picture for a DVD menu: the menu's title and text buttons. Its
// letters are a colour, a two-colour gradient or a picture; it may be outlined; behind it a
// colour (over the whole picture or only behind the lines of text) or a picture, with
// rounded corners. A value: copies are independent.
class EffectTextImage
{
public:
    enum FillType { FillColor = 0, FillGradient = 1, FillImage = 2 };
    enum BackgroundType { BackgroundNone = 0, BackgroundColor = 1, BackgroundImage = 2 };

    // The keys its values are stored under, in order.
    static QStringList allCoderKeys();

    QString textString = QStringLiteral("My Subtitle");
    QString textFontName = QStringLiteral("Times-Roman");
    double textFontSize = 60.0;
    int alignment = 0; // 0 left, 1 right, 2 centre
    int textFillType = FillColor;
    QColor textColor = Qt::white;
    QColor textGradientColor = Qt::black;
    QImage textImage;
    bool hasOutline = false;
    float outlineWidth = 0.0f; // hundredths, see textSourceImage
    QColor textOutlineColor = Qt::black;
    int backgroundType = BackgroundNone;
    QColor backgroundColor = QColor::fromRgbF(0, 0, 0, 0.8f);
    bool backColorOnlyOnText = false;
    QImage backgroundImage;
    float backgroundRadius = 0.0f; // a share of half the shorter side

    // The named font at max(textFontSize, 2) pixels; the system font when it is missing.
    QFont textFont() const;
    // The text's size, each side at least 1.
    QSizeF size() const;
    QImage textSourceImage() const;

    // The first run of characters that match inside [start, start + length) of string, as
    // (position, length); position −1 when there is none.
    static std::pair<qsizetype, qsizetype> rangeOfCharacterFromSet(const std::function<bool(QChar)> &set,
                                                                  const QString &string, qsizetype start,
                                                                  qsizetype length);

private:
    QStringList p_lines() const;
    void p_drawLetters(QPainter &painter, bool outline) const;
    void p_drawTextStringBackground(QPainter &painter) const;
};
