#include "app/HLApplication.h"

#include "Platform/Foundation/HLAssert.h"

#include <QMessageBox>

HLApplication::HLApplication(int &argc, char **argv) : QApplication(argc, argv), m_report(showFailureAlert)
{
}

bool HLApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const HLAssertionFailure &failure) {
        const QString message = QString::fromStdString(failure.what());
        qWarning("Action stopped by an internal error: %s", failure.what());
        // Shown once the failed event has unwound, not from inside it.
        QMetaObject::invokeMethod(this, [this, message] { m_report(message); }, Qt::QueuedConnection);
        return false;
    }
}

void HLApplication::showFailureAlert(const QString &message)
{
    QMessageBox alert(QMessageBox::Critical, applicationDisplayName(), tr("The action could not be completed."),
                      QMessageBox::Ok, activeWindow());
    alert.setInformativeText(tr("An internal check failed (%1), so the action was stopped before it finished.")
                                 .arg(message));
    alert.exec();
}
