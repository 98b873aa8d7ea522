#include "widgets/HLAddPanel.h"

#include <QCoreApplication>
#include <QFileDialog>

QStringList hl_runAddPanel(QWidget *window)
{
    QFileDialog panel(window);
    panel.setWindowModality(Qt::WindowModal);
    panel.setOption(QFileDialog::DontUseNativeDialog);
    panel.setFileMode(QFileDialog::ExistingFiles);
    panel.setAcceptMode(QFileDialog::AcceptOpen);
    panel.setLabelText(QFileDialog::Accept, QCoreApplication::translate("HLAddPanel", "Add"));
    if (panel.exec() != QDialog::Accepted)
        return {};
    return panel.selectedFiles();
}
