#pragma once

#include <QProxyStyle>

class QApplication;

// The program's one dark look: a palette of calibrated greys, and push buttons, pop-up
// buttons and check boxes drawn from the "Transparent…" picture slices so the dark
// backgrounds show through them. A widget with the property "clipAlpha" set draws its
// bezel and disabled title at full strength instead of 0.6.
class HLDarkStyle : public QProxyStyle
{
    Q_OBJECT
public:
    HLDarkStyle();

    // Sets the style and its palette on the whole application.
    static void applyTo(QApplication &application);
    static QPalette darkPalette();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override;
    QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap &pixmap, const QStyleOption *option) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;

    // Draws the three slices "<prefix>Left<state>", "<prefix>Fill<state>", "<prefix>Right<state>"
    // across rect, the caps at their own width and the fill stretched between them.
    static void drawThreePart(QPainter *painter, const QRect &rect, const QString &left, const QString &fill,
                              const QString &right, qreal opacity, qreal devicePixelRatio);
};
