#include "widgets/HLDarkStyle.h"

#include "widgets/HLNamedImage.h"

#include <QApplication>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace {

QColor grey(double level, double alpha = 1.0)
{
    return QColor::fromRgbF(level, level, level, alpha);
}

bool clipAlpha(const QWidget *widget)
{
    return widget && widget->property("clipAlpha").toBool();
}

} // namespace

HLDarkStyle::HLDarkStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

void HLDarkStyle::applyTo(QApplication &application)
{
    QApplication::setStyle(new HLDarkStyle);
    application.setPalette(darkPalette());
}

QPalette HLDarkStyle::darkPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, grey(0.15));
    palette.setColor(QPalette::WindowText, grey(0.92));
    palette.setColor(QPalette::Base, grey(0.11));
    palette.setColor(QPalette::AlternateBase, grey(0.14));
    palette.setColor(QPalette::Text, grey(0.92));
    palette.setColor(QPalette::Button, grey(0.2));
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, grey(0.2));
    palette.setColor(QPalette::ToolTipText, grey(0.92));
    palette.setColor(QPalette::PlaceholderText, grey(0.5));
    palette.setColor(QPalette::Highlight, QColor(232, 120, 40));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, grey(0.3));
    palette.setColor(QPalette::Midlight, grey(0.22));
    palette.setColor(QPalette::Mid, grey(0.12));
    palette.setColor(QPalette::Dark, grey(0.06));
    palette.setColor(QPalette::Shadow, grey(0.0));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, grey(0.6));
    // A disabled slider or bar must not glow in the accent colour.
    palette.setColor(QPalette::Disabled, QPalette::Highlight, grey(0.35));
    return palette;
}

void HLDarkStyle::drawThreePart(QPainter *painter, const QRect &rect, const QString &left, const QString &fill,
                                const QString &right, qreal opacity, qreal devicePixelRatio)
{
    const QSize leftSize = HLNamedImage::size(left), rightSize = HLNamedImage::size(right);
    const int height = HLNamedImage::size(fill).height();
    if (height <= 0)
        return;
    const int y = rect.y() + (rect.height() - height) / 2;
    painter->save();
    painter->setOpacity(opacity);
    painter->drawPixmap(QRect(rect.x(), y, leftSize.width(), height), HLNamedImage::pixmap(left, devicePixelRatio));
    const QRect middle(rect.x() + leftSize.width(), y, rect.width() - leftSize.width() - rightSize.width(), height);
    if (middle.width() > 0)
        painter->drawPixmap(middle, HLNamedImage::pixmap(fill, devicePixelRatio));
    painter->drawPixmap(QRect(rect.right() + 1 - rightSize.width(), y, rightSize.width(), height),
                        HLNamedImage::pixmap(right, devicePixelRatio));
    painter->restore();
}

void HLDarkStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                const QWidget *widget) const
{
    const qreal ratio = widget ? widget->devicePixelRatioF() : painter->device()->devicePixelRatioF();
    switch (element) {
    case PE_PanelButtonCommand: {
        const bool pressed = option->state & (State_Sunken | State_On);
        const QString state = pressed ? QStringLiteral("P") : QStringLiteral("N");
        const qreal opacity = (pressed || clipAlpha(widget)) ? 1.0 : 0.6;
        drawThreePart(painter, option->rect, QStringLiteral("TransparentButtonLeft") + state,
                      QStringLiteral("TransparentButtonFill") + state, QStringLiteral("TransparentButtonRight") + state,
                      opacity, ratio);
        return;
    }
    case PE_IndicatorCheckBox: {
        const bool on = option->state & (State_On | State_NoChange);
        const bool pressed = option->state & State_Sunken;
        const QString name = QStringLiteral("TransparentCheckbox%1%2")
                                 .arg(on ? QStringLiteral("On") : QStringLiteral("Off"),
                                      pressed ? QStringLiteral("P") : QStringLiteral("N"));
        const QSize size = HLNamedImage::size(name);
        const QRect box(option->rect.x(), option->rect.y() + (option->rect.height() - size.height()) / 2, size.width(),
                        size.height());
        painter->drawPixmap(box, HLNamedImage::pixmap(name, ratio));
        return;
    }
    case PE_FrameFocusRect:
        return; // the dark controls show no focus frame
    case PE_PanelButtonTool:
        if (option->state & (State_Sunken | State_On))
            painter->fillRect(option->rect.adjusted(1, 1, -1, -1), grey(1.0, 0.12));
        else if ((option->state & State_MouseOver) && (option->state & State_Enabled))
            painter->fillRect(option->rect.adjusted(1, 1, -1, -1), grey(1.0, 0.06));
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void HLDarkStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                              const QWidget *widget) const
{
    if (element == CE_PushButtonLabel) {
        if (const auto *button = qstyleoption_cast<const QStyleOptionButton *>(option)) {
            QStyleOptionButton copy(*button);
            const bool enabled = option->state & State_Enabled;
            const QColor title = (enabled || clipAlpha(widget)) ? Qt::white : grey(0.6);
            copy.palette.setColor(QPalette::ButtonText, title);
            copy.palette.setColor(QPalette::Disabled, QPalette::ButtonText, title);
            QProxyStyle::drawControl(element, &copy, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void HLDarkStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                     const QWidget *widget) const
{
    if (control == CC_ComboBox) {
        const auto *combo = qstyleoption_cast<const QStyleOptionComboBox *>(option);
        const bool pressed = option->state & (State_Sunken | State_On);
        const QString state = pressed ? QStringLiteral("P") : QStringLiteral("N");
        const qreal opacity = clipAlpha(widget) ? 1.0 : (pressed ? 0.75 : 0.6);
        drawThreePart(painter, option->rect, QStringLiteral("TransparentPopUpLeft") + state,
                      QStringLiteral("TransparentPopUpFill") + state, QStringLiteral("TransparentPopUpRight") + state,
                      combo && combo->editable ? 1.0 : opacity, widget ? widget->devicePixelRatioF() : 1.0);
        return;
    }
    if (control == CC_ScrollBar) {
        painter->fillRect(option->rect, grey(0.53, 0.555 * 0.3));
        if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            const QRect knob = subControlRect(control, bar, SC_ScrollBarSlider, widget);
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(grey(0.45));
            const QRectF shape = QRectF(knob).adjusted(2.5, 2.5, -2.5, -2.5);
            const qreal radius = qMin(shape.width(), shape.height()) / 2;
            painter->drawRoundedRect(shape, radius, radius);
            painter->restore();
        }
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int HLDarkStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                           QStyleHintReturn *returnData) const
{
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
        return 0; // plain titles on the transparent buttons
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

int HLDarkStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        return HLNamedImage::size(QStringLiteral("TransparentCheckboxOffN")).width();
    case PM_ScrollBarExtent:
        return 12;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QPixmap HLDarkStyle::generatedIconPixmap(QIcon::Mode mode, const QPixmap &pixmap, const QStyleOption *option) const
{
    if (mode != QIcon::Disabled)
        return QProxyStyle::generatedIconPixmap(mode, pixmap, option);
    // A disabled picture is the same picture, faint, so it reads as unavailable on the dark look.
    QPixmap faint(pixmap.size());
    faint.setDevicePixelRatio(pixmap.devicePixelRatio());
    faint.fill(Qt::transparent);
    QPainter painter(&faint);
    painter.setOpacity(0.35);
    painter.drawPixmap(0, 0, pixmap);
    return faint;
}

QSize HLDarkStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                    const QWidget *widget) const
{
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_PushButton || type == CT_ComboBox)
        result.setHeight(HLNamedImage::size(QStringLiteral("TransparentButtonFillN")).height());
    return result;
}
