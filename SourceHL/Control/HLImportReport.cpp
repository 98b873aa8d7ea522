#include "SourceHL/Control/HLImportReport.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("HLImportReport", text);
}

} // namespace

void hl_reportImport(QWidget *window, const QStringList &skipped, const QStringList &warned)
{
    if (skipped.isEmpty() && warned.isEmpty())
        return;
    QStringList said;
    QStringList lines;
    if (!skipped.isEmpty()) {
        said << (skipped.size() == 1 ? tr("One file was not added.")
                                     : tr("%1 files were not added.").arg(skipped.size()));
        lines << skipped.join(QLatin1Char('\n'));
    }
    if (!warned.isEmpty()) {
        said << (warned.size() == 1 ? tr("One file was added with a warning.")
                                    : tr("%1 files were added with warnings.").arg(warned.size()));
        lines << warned.join(QLatin1Char('\n'));
    }
    auto *alert = new QMessageBox(window);
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::WindowModal);
    alert->setIcon(QMessageBox::Warning);
    alert->setText(said.join(QLatin1Char(' ')));
    // The two lists in the order the text names them.
    alert->setInformativeText(lines.join(QStringLiteral("\n\n")));
    alert->setStandardButtons(QMessageBox::Ok);
    alert->open();
}
