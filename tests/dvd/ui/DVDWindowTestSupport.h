#pragma once

#include "tests/dvd/DVDFakeDrive.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <thread>

// Answers the alerts that come up, in order: each step waits for an alert whose text holds
// its message, may look at it (and change the world) first, and clicks its button once
// enabled. What every alert said is kept.
class AlertAnswers : public QObject
{
public:
    struct Step
    {
        QString message;
        QString button;
        std::function<void(QMessageBox *)> look = {};
    };

    explicit AlertAnswers(std::deque<Step> steps) : m_steps(std::move(steps))
    {
        connect(&m_timer, &QTimer::timeout, this, [this] { p_poll(); });
        m_timer.start(10);
    }

    bool done() const { return m_steps.empty(); }
    QStringList seen;

private:
    void p_poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || m_steps.empty() || !box->isVisible())
            return;
        Step &step = m_steps.front();
        if (!box->text().contains(step.message))
            return;
        if (step.look) {
            step.look(box);
            step.look = {};
        }
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == step.button && button->isEnabled()) {
                seen << box->text() + QStringLiteral(" | ") + box->informativeText();
                m_steps.pop_front();
                button->click();
                return;
            }
        }
    }

    std::deque<Step> m_steps;
    QTimer m_timer;
};
