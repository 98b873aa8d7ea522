#include "SourceHL/Control/HLImportReport.h"

#include <QCoreApplication>
#include <QMessageBox>

void hl_reportSkippedFiles(QWidget *window, const QStringList &skipped)
{
    if (skipped.isEmpty())
        return;
    auto *alert = new QMessageBox(window);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setIcon(QMessageBox::Warning);
    alert->setText(skipped.size() == 1
                       ? QCoreApplication::translate("HLImportReport", "One file was not added.")
                       : QCoreApplication::translate("HLImportReport", "%1 files were not added.").arg(skipped.size()));
    alert->setInformativeText(skipped.join(QLatin1Char('\n')));
    alert->setStandardButtons(QMessageBox::Ok);
    alert->open();
}
