#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>

// Answers the alerts that come up, in order, each with the button of the given title
// ("Escape" presses the Escape key), and keeps what each said.
class AlertAnswers
{
public:
    explicit AlertAnswers(QStringList answers) : m_answers(std::move(answers))
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { p_answer(); });
        m_timer.start();
    }

    struct Seen
    {
        QString text;
        QString informativeText;
        QStringList buttons;
    };
    const QList<Seen> &seen() const { return m_seen; }
    bool allAnswered() const { return m_answers.isEmpty(); }

private:
    void p_answer()
    {
        auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!alert || !alert->isVisible() || m_answers.isEmpty() || alert == m_last)
            return;
        m_last = alert;
        Seen seen{alert->text(), alert->informativeText(), {}};
        for (QAbstractButton *button : alert->buttons())
            seen.buttons << button->text();
        m_seen << seen;
        const QString answer = m_answers.takeFirst();
        if (answer == QLatin1String("Escape")) {
            QTest::keyClick(alert, Qt::Key_Escape);
            return;
        }
        for (QAbstractButton *button : alert->buttons()) {
            if (button->text() == answer) {
                button->click();
                return;
            }
        }
        alert->reject();
    }

    QStringList m_answers;
    QList<Seen> m_seen;
    QTimer m_timer;
    QPointer<QMessageBox> m_last;
};
