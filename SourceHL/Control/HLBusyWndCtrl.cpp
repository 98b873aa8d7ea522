#include "SourceHL/Control/HLBusyWndCtrl.h"

#include "Platform/Foundation/HLDispatch.h"
#include "SourceHL/Control/HLSheet.h"

#include <QProgressBar>
#include <QVBoxLayout>

HLBusyWndCtrl &HLBusyWndCtrl::sharedBusyWndCtrl()
{
    static HLBusyWndCtrl shared;
    return shared;
}

void HLBusyWndCtrl::p_makeWindow()
{
    // Belongs to the window it is shown on, so it goes with that window.
    m_window = new HLSheet;
    m_window->setObjectName(QStringLiteral("HLBusyWndCtrl"));
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(24, 20, 24, 20);
    auto *progress = new QProgressBar(m_window);
    progress->setRange(0, 0); // indeterminate: it moves while the sheet is up
    progress->setTextVisible(false);
    progress->setFixedWidth(220);
    layout->addWidget(progress);
}

void HLBusyWndCtrl::startBusingOn(QWidget *window)
{
    QPointer<QWidget> target(window);
    HLDispatch::onMain([this, target] {
        if (!m_window)
            p_makeWindow();
        m_window->showOn(target);
    });
}

void HLBusyWndCtrl::stopBusing()
{
    HLDispatch::onMain([this] {
        if (m_window)
            m_window->takeDown();
    });
}
