#include "SourceHL/Control/HLProgressWndCtrl.h"

#include "Platform/Foundation/HLDispatch.h"
#include "SourceHL/Control/HLSheet.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

HLProgressWndCtrl &HLProgressWndCtrl::sharedProgressWndCtrl()
{
    static HLProgressWndCtrl shared;
    return shared;
}

void HLProgressWndCtrl::p_makeWindow()
{
    m_window = new HLSheet;
    m_window->setObjectName(QStringLiteral("HLProgressWndCtrl"));
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(8);
    m_vProgress = new QProgressBar(m_window);
    m_vProgress->setObjectName(QStringLiteral("vProgress"));
    m_vProgress->setRange(0, kBarRange);
    m_vProgress->setTextVisible(false);
    m_vProgress->setFixedWidth(260);
    m_tldProgress = new QLabel(m_window);
    m_tldProgress->setObjectName(QStringLiteral("tldProgress"));
    m_tldProgress->setAlignment(Qt::AlignCenter);
    m_btnCancel = new QPushButton(QObject::tr("Cancel"), m_window);
    m_btnCancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(m_btnCancel, &QPushButton::clicked, m_window, [this] {
        m_btnCancel->setEnabled(false);
        if (m_blkCancel)
            m_blkCancel();
    });
    layout->addWidget(m_vProgress);
    layout->addWidget(m_tldProgress);
    layout->addWidget(m_btnCancel, 0, Qt::AlignRight);
}

void HLProgressWndCtrl::startProgress(quint64 count, QWidget *window, std::function<void()> cancel)
{
    m_iCount = count;
    m_iIndex = 0;
    QPointer<QWidget> target(window);
    HLDispatch::onMain([this, target, count, cancel = std::move(cancel)] {
        if (!m_window)
            p_makeWindow();
        m_blkCancel = cancel;
        m_btnCancel->setVisible(bool(cancel));
        m_btnCancel->setEnabled(true);
        m_window->showOn(target);
        p_updateUI(0, count);
    });
}

void HLProgressWndCtrl::updateProgress(qint64 index)
{
    const quint64 done = quint64(std::max<qint64>(index, 0));
    m_iIndex = done;
    // The values travel with the call: by the time it runs the worker may be further on,
    // or another import may have started.
    HLDispatch::onMain([this, done, count = quint64(m_iCount)] { p_updateUI(done, count); });
}

void HLProgressWndCtrl::stopProgress()
{
    HLDispatch::onMain([this] {
        if (m_window)
            m_window->takeDown();
    });
}

void HLProgressWndCtrl::p_updateUI(quint64 index, quint64 count)
{
    if (!m_window)
        return;
    const quint64 done = std::min<quint64>(index, count);
    // Nothing to do is shown as an empty bar rather than 0 / 0.
    const float fraction = count > 0 ? float(done) / float(count) : 0.0f;
    m_vProgress->setValue(int(std::lround(fraction * kBarRange)));
    m_tldProgress->setText(QStringLiteral("%1/%2").arg(done).arg(count));
}
