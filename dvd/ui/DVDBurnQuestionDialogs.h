#pragma once

#include "dvd/BurnDVDWorkflowQuestions.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <atomic>
#include <functional>

class DVDBurn;

// The burn's questions as alerts over the progress window. Asked from the burn's thread,
// which waits for the answer; where a button depends on the disc, the waiting thread looks
// at the drive again every poll interval and the alert follows.
class DVDBurnQuestionDialogs : public BurnDVDWorkflowQuestions
{
public:
    // What a further copy would find in the drive.
    struct DiscState
    {
        QString text;
        bool canBurn = false;
    };

    explicit DVDBurnQuestionDialogs(QWidget *parent);

    bool askRetry(const std::function<bool()> &canRetry) override;
    void showOutcome(const QString &message, const QString &information) override;
    // "Burn DVD": true to burn another copy; Burn is offered while the disc can take it.
    bool askBurnCopy(const std::function<DiscState()> &check);
    // True when the user stops burning copies.
    bool confirmStopBurning();

    static DiscState discState(DVDBurn &burner, qint64 imageSize);

    // How many alerts the user has been shown.
    int alertsShown() const { return m_alertsShown; }

private:
    struct Alert
    {
        QString message;
        QString information;
        QString accept;
        QString reject;
        bool acceptEnabled = true;
    };
    // True when the first button closed it; update, when given, refreshes the informative
    // text and the first button's state.
    bool p_runAlertWindow(const Alert &alert, const std::function<DiscState()> &update);

    QPointer<QWidget> m_parent;
    std::atomic<int> m_alertsShown{0};
};
