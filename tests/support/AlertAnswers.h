#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <initializer_list>

// Answers the alerts that come up, in order. Each step clicks the button of its title once it
// is enabled ("Escape" presses the Escape key); a step with a message waits for an alert whose
// text holds it, and may look at the box (and change the world) first. What every answered
// alert said is kept.
class AlertAnswers
{
public:
    struct Step
    {
        QString button;
        QString message = {}; // empty: whichever alert comes up
        std::function<void(QMessageBox *)> look = {};
    };

    explicit AlertAnswers(std::initializer_list<Step> steps) : m_steps(steps) { p_start(); }
    // Whatever alerts come up, answered with these buttons in order.
    explicit AlertAnswers(const QStringList &buttons) : m_steps(buttons.begin(), buttons.end()) { p_start(); }

    struct Seen
    {
        QString text;
        QString informativeText;
        QStringList buttons;
    };
    const QList<Seen> &seen() const { return m_seen; }
    bool allAnswered() const { return m_steps.empty(); }
    // What the answered alerts said, a line each, for failure messages.
    QString said() const
    {
        QStringList lines;
        for (const Seen &alert : m_seen)
            lines << alert.text + QStringLiteral(" | ") + alert.informativeText;
        return lines.join(QLatin1Char('\n'));
    }

private:
    void p_start()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { p_answer(); });
        m_timer.start(1);
    }

    void p_answer()
    {
        auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        // An answered box can still be up while it closes.
        if (!alert || !alert->isVisible() || m_steps.empty() || alert == m_answered)
            return;
        Step &step = m_steps.front();
        if (!alert->text().contains(step.message))
            return;
        if (step.look) {
            step.look(alert);
            step.look = {};
        }
        const bool escape = step.button == QLatin1String("Escape");
        QAbstractButton *button = nullptr;
        for (QAbstractButton *candidate : alert->buttons()) {
            if (candidate->text() == step.button) {
                button = candidate;
                break;
            }
        }
        if (button && !button->isEnabled())
            return;
        m_answered = alert;
        Seen seen{alert->text(), alert->informativeText(), {}};
        for (QAbstractButton *each : alert->buttons())
            seen.buttons << each->text();
        m_seen << seen;
        m_steps.pop_front();
        if (escape)
            QTest::keyClick(alert, Qt::Key_Escape);
        else if (button)
            button->click();
        else // no such button: the test fails on what follows instead of hanging
            alert->reject();
    }

    std::deque<Step> m_steps;
    QList<Seen> m_seen;
    QTimer m_timer;
    QPointer<QMessageBox> m_answered;
};
