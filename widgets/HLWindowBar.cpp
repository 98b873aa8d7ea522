#include "widgets/HLWindowBar.h"

#include "widgets/HLUIWindowTitleView.h"

#include <QEvent>
#include <QLayout>

namespace {

constexpr int kStripHeight = 25;

// Keeps the strip as wide as its window.
class StripWidth : public QObject
{
public:
    StripWidth(QWidget *window, HLUIWindowTitleView *strip) : QObject(strip), m_strip(strip)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_strip->setGeometry(0, 0, static_cast<QWidget *>(watched)->width(), kStripHeight);
        return false;
    }

private:
    HLUIWindowTitleView *m_strip;
};

} // namespace

HLUIWindowTitleView *changeWindowBarToBlack(QWidget *window)
{
    auto *strip = new HLUIWindowTitleView(window);
    strip->setObjectName(QStringLiteral("windowTitleStrip"));
    strip->setStrTitle(window->windowTitle());
    strip->setGeometry(0, 0, window->width(), kStripHeight);
    strip->lower();
    new StripWidth(window, strip);
    if (QLayout *layout = window->layout()) {
        QMargins margins = layout->contentsMargins();
        margins.setTop(margins.top() + kStripHeight);
        layout->setContentsMargins(margins);
    }
    strip->update();
    window->setWindowTitle(QString());
    return strip;
}
