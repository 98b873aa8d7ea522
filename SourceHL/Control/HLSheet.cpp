#include "SourceHL/Control/HLSheet.h"

#include "Platform/Foundation/HLNotificationCenter.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>

HLSheet::HLSheet()
{
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor::fromRgbF(0.25, 0.25, 0.25, 1.0));
    setPalette(palette);
    setWindowModality(Qt::WindowModal);
}

void HLSheet::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QColor::fromRgbF(0.08, 0.08, 0.08));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void HLSheet::showOn(QWidget *window)
{
    HLNotificationCenter::defaultCenter().post(QStringLiteral("HLWindowStartBusyingNotification"));
    if (window && parentWidget() != window)
        setParent(window, Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::WindowModal);
    show();
    if (window) {
        // Over the upper middle of the window it blocks.
        const QRect area = window->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + area.height() / 4);
    }
}

void HLSheet::takeDown()
{
    HLNotificationCenter::defaultCenter().post(QStringLiteral("HLWindowStopBusyingNotification"));
    hide();
}

void HLSheet::keyPressEvent(QKeyEvent *event)
{
    // The work behind the sheet decides when it goes; Escape must not close it.
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

void HLSheet::closeEvent(QCloseEvent *event)
{
    // Nor may the window manager's close: the sheet stays up until its job ends.
    event->ignore();
}
