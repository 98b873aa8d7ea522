#pragma once

#include "Frameworks/Trevanel/DVDBurnDevice.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <thread>

// A burner whose disc the test changes while the burn's thread looks at it.
class AtomicFakeDrive : public DVDBurnDevice
{
public:
    explicit AtomicFakeDrive(QString name = QStringLiteral("Fake Burner")) : m_name(std::move(name)) {}

    std::atomic<bool> present{true};
    std::atomic<bool> blank{true};
    std::atomic<qint64> space{qint64(1) << 32};
    std::atomic<int> failures{0}; // burns that fail before one succeeds
    std::atomic<int> burns{0};

    QString displayName() const override { return m_name; }
    bool mediaIsPresent() override { return present; }
    bool mediaIsBlank() override { return present && blank; }
    qint64 mediaWritableSpace() override { return present && blank ? space.load() : 0; }
    bool burnImage(const QString &, const Progress &progress, const std::atomic<bool> &cancel, QString *error) override
    {
        ++burns;
        progress(0.5);
        if (cancel) {
            *error = QStringLiteral("Cancelled");
            return false;
        }
        if (failures > 0) {
            --failures;
            *error = QStringLiteral("Write error");
            return false;
        }
        blank = false;
        return true;
    }

private:
    QString m_name;
};

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
