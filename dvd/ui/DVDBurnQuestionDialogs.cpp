#include "dvd/ui/DVDBurnQuestionDialogs.h"

#include "Frameworks/Trevanel/DVDBurn.h"
#include "Platform/Foundation/HLDispatch.h"

#include <QMessageBox>
#include <QPushButton>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// The alert as both threads see it: the answer is read by the waiting thread, the box is
// touched on the main thread only.
struct AlertState
{
    std::atomic<int> answer{-1}; // -1 none yet, 1 the first button, 0 any other
    QPointer<QMessageBox> box;
    QPointer<QPushButton> accept;
};

constexpr std::chrono::milliseconds kAnswerCheck{10};
// How often a waiting question looks at the drive again.
constexpr std::chrono::milliseconds kDrivePoll{1000};

} // namespace

DVDBurnQuestionDialogs::DVDBurnQuestionDialogs(QWidget *parent) : m_parent(parent) {}

bool DVDBurnQuestionDialogs::p_runAlertWindow(const Alert &alert, const std::function<DiscState()> &update)
{
    ++m_alertsShown;
    auto state = std::make_shared<AlertState>();
    QPointer<QWidget> parent = m_parent;
    HLDispatch::onMain([state, alert, parent] {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Burn DVD"), alert.message,
                                    QMessageBox::NoButton, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::ApplicationModal);
        box->setInformativeText(alert.information);
        QPushButton *accept = box->addButton(alert.accept, QMessageBox::AcceptRole);
        accept->setEnabled(alert.acceptEnabled);
        if (!alert.reject.isEmpty())
            box->setEscapeButton(box->addButton(alert.reject, QMessageBox::RejectRole));
        box->setDefaultButton(accept);
        QObject::connect(box, &QMessageBox::buttonClicked, box,
                         [state, accept](QAbstractButton *clicked) { state->answer = clicked == accept ? 1 : 0; });
        QObject::connect(box, &QMessageBox::finished, box, [state] {
            int none = -1;
            state->answer.compare_exchange_strong(none, 0);
        });
        state->box = box;
        state->accept = accept;
        box->show();
    }, true);
    auto nextPoll = std::chrono::steady_clock::now();
    while (state->answer < 0) {
        if (update && std::chrono::steady_clock::now() >= nextPoll) {
            const DiscState now = update();
            HLDispatch::onMain([state, now] {
                if (state->box)
                    state->box->setInformativeText(now.text);
                if (state->accept)
                    state->accept->setEnabled(now.canBurn);
            });
            nextPoll = std::chrono::steady_clock::now() + kDrivePoll;
        }
        std::this_thread::sleep_for(kAnswerCheck);
    }
    return state->answer == 1;
}

bool DVDBurnQuestionDialogs::askRetry(const std::function<bool()> &canRetry)
{
    const Alert alert{QStringLiteral("Burn Failed"),
                      QStringLiteral("It maybe caused by the DVD Disc or the DVD Driver. You can insert a blank disc "
                                     "and try again."),
                      QStringLiteral("Retry"), QStringLiteral("Cancel"), false};
    return p_runAlertWindow(alert, [&] { return DiscState{alert.information, canRetry()}; });
}

void DVDBurnQuestionDialogs::showOutcome(const QString &message, const QString &information)
{
    p_runAlertWindow({message, information, QStringLiteral("OK"), QString(), true}, {});
}

bool DVDBurnQuestionDialogs::askBurnCopy(const std::function<DiscState()> &check)
{
    const DiscState now = check();
    return p_runAlertWindow({QStringLiteral("Burn DVD"), now.text, QStringLiteral("Burn"), QStringLiteral("Cancel"),
                             now.canBurn},
                            check);
}

bool DVDBurnQuestionDialogs::confirmStopBurning()
{
    return p_runAlertWindow(
        {QStringLiteral("Are you sure stop burning DVD ?"), QString(), QStringLiteral("YES"), QStringLiteral("NO"), true},
        {});
}

DVDBurnQuestionDialogs::DiscState DVDBurnQuestionDialogs::discState(DVDBurn &burner, qint64 imageSize)
{
    if (!burner.mediaIsPresent())
        return {QStringLiteral("Please insert other blank DVD ."), false};
    if (!burner.mediaIsBlank())
        return {QStringLiteral("The DVD isn’t blank DVD ,  please insert a blank DVD ."), false};
    if (burner.mediaWritableSpace() <= imageSize)
        return {QStringLiteral("The DVD space not enough , please insert other DVD ."), false};
    return {QStringLiteral("Ready to Burn"), true};
}
