#include "SourceHL/View/HLPlaylineHeadView.h"

#include "widgets/HLNamedImage.h"

#include <QPainter>

#include <cmath>

namespace {
const QString kImage = QStringLiteral("PlaylineVernier");
}

HLPlaylineHeadView::HLPlaylineHeadView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    const QSize size = HLNamedImage::size(kImage);
    setFixedSize(size.isEmpty() ? QSize(11, 14) : size);
    m_dCenter = width() * 0.5;
}

void HLPlaylineHeadView::update(double x)
{
    m_dCenter = x;
    move(int(std::floor(x - width() * 0.5)), y());
}

void HLPlaylineHeadView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap image = HLNamedImage::pixmap(kImage, devicePixelRatioF());
    const QSizeF size = image.deviceIndependentSize();
    painter.drawPixmap(QRectF((width() - size.width()) * 0.5, height() - size.height(), size.width(), size.height()),
                       image, QRectF(image.rect()));
}
