#include "SourceHL/Control/HLPackagePanel.h"

#include "SourceHL/Model/Package/HLProjectPackage.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace {

bool isPackageFolder(const QFileInfo &info)
{
    return info.isDir() && info.suffix() == HLProjectPackage::kArchiveProjectExten;
}

} // namespace

QIcon HLPackagePanel::Icons::icon(const QFileInfo &info) const
{
    return isPackageFolder(info) ? QFileIconProvider::icon(QFileIconProvider::File) : QFileIconProvider::icon(info);
}

QString HLPackagePanel::Icons::type(const QFileInfo &info) const
{
    return isPackageFolder(info) ? tr("Project") : QFileIconProvider::type(info);
}

HLPackagePanel::HLPackagePanel(QWidget *parent, Mode mode) : QFileDialog(parent), m_mode(mode)
{
    // The widget panel: only it lets packages be files.
    setOption(QFileDialog::DontUseNativeDialog);
    setIconProvider(&m_icons);
    setWindowModality(Qt::WindowModal);
    if (mode == Open) {
        setWindowTitle(tr("Open Project"));
        setFileMode(QFileDialog::Directory);
        setLabelText(QFileDialog::Accept, tr("Select"));
    } else {
        setWindowTitle(tr("Save Project"));
        setAcceptMode(QFileDialog::AcceptSave);
        setNameFilter(tr("Projects (*.%1)").arg(HLProjectPackage::kArchiveProjectExten));
        setDefaultSuffix(HLProjectPackage::kArchiveProjectExten);
        selectFile(tr("Untitled"));
    }
    connect(this, &QFileDialog::directoryEntered, this, &HLPackagePanel::p_entered);
}

QString HLPackagePanel::run(QWidget *window, Mode mode)
{
    HLPackagePanel panel(window, mode);
    return panel.exec() == QDialog::Accepted ? panel.chosenPath() : QString();
}

void HLPackagePanel::p_entered(const QString &directory)
{
    const QString package = HLProjectPackage::enclosingPackage(directory);
    if (package.isEmpty())
        return;
    setDirectory(QFileInfo(package).path());
    if (m_mode == Open) {
        p_choose(package);
        return;
    }
    selectFile(QFileInfo(package).fileName()); // Save then asks to replace it
}

void HLPackagePanel::accept()
{
    const QStringList files = selectedFiles();
    if (files.isEmpty())
        return;
    const QString path = QDir::cleanPath(QFileInfo(files.constFirst()).absoluteFilePath());
    const QString package = HLProjectPackage::enclosingPackage(path);
    const QFileInfo info(path);
    if (m_mode == Open) {
        if (!package.isEmpty())
            p_choose(package);
        else if (info.isDir())
            setDirectory(path); // an ordinary folder is looked into, not opened
        return;
    }
    if (!package.isEmpty() && package != path) {
        QMessageBox::warning(this, windowTitle(),
                             tr("A project cannot be saved inside the project “%1”.")
                                 .arg(HLProjectPackage::displayName(package)));
        setDirectory(QFileInfo(package).path());
        return;
    }
    if (info.isDir() && !isPackageFolder(info)) {
        setDirectory(path); // a folder's name (or none) typed: look into it
        return;
    }
    const QString suffix = QLatin1Char('.') + HLProjectPackage::kArchiveProjectExten;
    const QString target = path.endsWith(suffix) ? path : path + suffix;
    if (!QFileInfo::exists(target) || p_mayReplace(target))
        p_choose(target);
}

bool HLPackagePanel::p_mayReplace(const QString &path)
{
    QMessageBox alert(QMessageBox::Warning, windowTitle(),
                      tr("“%1” already exists. Do you want to replace it?").arg(QFileInfo(path).fileName()),
                      QMessageBox::NoButton, this);
    alert.setInformativeText(tr("Replacing it overwrites its current contents."));
    QPushButton *replace = alert.addButton(tr("Replace"), QMessageBox::AcceptRole);
    QPushButton *cancel = alert.addButton(tr("Cancel"), QMessageBox::RejectRole);
    alert.setDefaultButton(cancel);
    alert.setEscapeButton(cancel);
    alert.exec();
    return alert.clickedButton() == replace;
}

void HLPackagePanel::p_choose(const QString &path)
{
    m_chosen = path;
    QDialog::accept();
}
