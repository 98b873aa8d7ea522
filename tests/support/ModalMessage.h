#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QString>

// The text and informative text of the message box up on the screen, closed after reading;
// empty when none is up.
inline QString takeModalMessage()
{
    auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!alert)
        return QString();
    const QString text = alert->text() + QLatin1Char('\n') + alert->informativeText();
    alert->close();
    return text;
}
