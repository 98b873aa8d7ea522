#include "app/HLOpenQueue.h"

#include "Platform/Foundation/HLThreadSanitizer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

HLOpenQueue::HLOpenQueue(IsFree isFree, Opener opener, QObject *parent)
    : QObject(parent), m_isFree(std::move(isFree)), m_opener(std::move(opener))
{
    qApp->installEventFilter(this);
}

HLOpenQueue::~HLOpenQueue()
{
    qApp->removeEventFilter(this);
}

void HLOpenQueue::enqueue(const QString &path)
{
    m_pending.enqueue(path);
    wake();
}

void HLOpenQueue::wake()
{
    if (m_pending.isEmpty() || m_woken)
        return;
    m_woken = true;
    // After the event that freed the window has finished (a dialog's exec returns first).
    QMetaObject::invokeMethod(this, &HLOpenQueue::p_next, Qt::QueuedConnection);
}

void HLOpenQueue::p_next()
{
    m_woken = false;
    // Each open may raise a question or start a job; the next waits until the window is free again.
    while (!m_pending.isEmpty() && m_isFree())
        m_opener(m_pending.dequeue());
}

bool HLOpenQueue::eventFilter(QObject *watched, QEvent *event)
{
    // Every event passes here before its receiver, also the jobs other threads post to the
    // main thread: take their handover before the first look (others were never released).
    HL_TSAN_ACQUIRE(event);
    if (event->type() == QEvent::Hide && !m_pending.isEmpty()) {
        if (auto *widget = qobject_cast<QWidget *>(watched); widget && widget->isWindow() && widget->isModal())
            wake();
    }
    return QObject::eventFilter(watched, event);
}
