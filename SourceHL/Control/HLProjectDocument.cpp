#include "SourceHL/Control/HLProjectDocument.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLDispatch.h"
#include "Platform/Foundation/HLJob.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLBusyWndCtrl.h"
#include "SourceHL/Control/HLPackagePanel.h"
#include "SourceHL/Control/HLProjectSession.h"
#include "SourceHL/Control/HLWindowHost.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

namespace {

const QSizeF kNewProjectSize(1280, 720);

QString packagePath(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString withExtension(const QString &path)
{
    const QString extension = QStringLiteral(".") + HLProjectPackage::kArchiveProjectExten;
    return path.endsWith(extension) ? path : path + extension;
}

} // namespace

HLProjectDocument::HLProjectDocument(HLWindowHost &host)
    : m_host(host), m_openPanel(p_defaultOpenPanel), m_savePanel(p_defaultSavePanel),
      m_terminate([] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); })
{
    p_updateTitle();
}

HLProjectDocument::~HLProjectDocument() = default;

bool HLProjectDocument::isDocumentEdited() const
{
    return m_host.isEdited();
}

void HLProjectDocument::p_updateTitle()
{
    const QString work = m_host.workFolder();
    m_host.showTitle(work.isEmpty() ? tr("Untitled") : HLProjectPackage::displayName(work));
}

bool HLProjectDocument::p_closeDirtyProject(const Completion &close, const Completion &save, const Completion &cancel)
{
    if (!isDocumentEdited())
        return true;
    QMessageBox alert(QMessageBox::Warning, QApplication::applicationDisplayName(), tr("Warning"), QMessageBox::NoButton,
                      m_host.sheetHost());
    alert.setWindowModality(Qt::ApplicationModal);
    alert.setInformativeText(tr("Do you want to save changes to this project before closing? If you don’t save, "
                                "your changes will be lost."));
    QPushButton *saveButton = alert.addButton(tr("Save"), QMessageBox::AcceptRole);
    QPushButton *discardButton = alert.addButton(tr("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton *cancelButton = alert.addButton(tr("Cancel"), QMessageBox::RejectRole);
    alert.setDefaultButton(saveButton);
    alert.setEscapeButton(cancelButton);
    alert.exec();
    if (alert.clickedButton() == saveButton) {
        if (save)
            save();
        return false;
    }
    if (alert.clickedButton() == discardButton) {
        if (close)
            close();
        return true;
    }
    if (cancel)
        cancel();
    return false;
}

void HLProjectDocument::p_new()
{
    m_host.stopPlayingAndEditing();
    const auto fresh = [this] {
        m_host.replaceProject(m_host.emptyProject(kNewProjectSize));
        m_host.setWorkFolder(QString());
        p_updateTitle();
        m_host.setEdited(false);
    };
    if (p_closeDirtyProject({}, [this, fresh] { p_save(fresh); }, {}))
        fresh();
}

void HLProjectDocument::p_open()
{
    m_host.stopPlayingAndEditing();
    if (p_closeDirtyProject({}, [this] { p_save([this] { p_openPanelThenOpen(); }); }, {}))
        p_openPanelThenOpen();
}

void HLProjectDocument::p_openPanelThenOpen()
{
    const QString path = m_openPanel(m_host.sheetHost());
    if (!path.isEmpty())
        p_openProjectFrom(path);
}

void HLProjectDocument::p_save(Completion f)
{
    m_host.stopPlaying();
    if (!m_host.workFolder().isEmpty())
        p_saveProjectTo(m_host.workFolder(), std::move(f));
    else
        p_saveAs(std::move(f));
}

void HLProjectDocument::p_saveAs(Completion f)
{
    m_host.stopPlaying();
    const QString path = m_savePanel(m_host.sheetHost());
    if (path.isEmpty())
        return;
    const QString package = withExtension(packagePath(path));
    // Saved inside another package, it would be lost at that package's next save.
    const QString outer = HLProjectPackage::enclosingPackage(QFileInfo(package).path());
    if (!outer.isEmpty()) {
        p_showFailure(tr("The project could not be saved."),
                      tr("A project cannot be saved inside the project “%1”.")
                          .arg(HLProjectPackage::displayName(outer)));
        emit saveFinished(false);
        return;
    }
    p_saveProjectTo(package, std::move(f));
}

void HLProjectDocument::p_saveProjectTo(const QString &path, Completion f)
{
    if (m_job)
        return;
    m_host.stopPlaying();
    const HLProjectSession &session = *m_host.session();
    session.gate().stopPreview();
    const QString package = packagePath(path);
    QByteArray snapshot;
    // What the snapshot holds: edits after this point are not in it.
    const quint64 generation = session.gate().iGeneration();
    const auto resources = session.contents().resourceItems();
    try {
        // The copy the worker writes: edits after this point cannot reach it.
        snapshot = session.contents().archivedData();
    } catch (const HLArchiveError &error) {
        p_showFailure(tr("The project could not be saved."), QString::fromStdString(error.what()));
        emit saveFinished(false);
        return;
    }
    HLBusyWndCtrl::sharedBusyWndCtrl().startBusingOn(m_host.sheetHost());
    const HLProjectPackage::WriteHooks hooks = m_writeHooks;
    m_job = std::make_unique<HLJob>([snapshot, package, hooks](HLJobState &) {
        HLProjectPackage::write(snapshot, package, hooks);
        return true;
    });
    QPointer<HLProjectDocument> self(this);
    m_job->start([self, package, f, generation, resources](const HLJobState &state) {
        HLBusyWndCtrl::sharedBusyWndCtrl().stopBusing();
        const bool succeeded = state.outcome() == HLJobState::Outcome::Succeeded;
        const QString reason = state.errorString();
        // After the sheet is down (its work is queued in call order).
        HLDispatch::onMain([self, package, f, succeeded, reason, generation, resources] {
            if (!self)
                return;
            self->m_job.reset();
            if (!succeeded) {
                self->p_showFailure(tr("The project could not be saved."), reason);
                emit self->saveFinished(false);
                return;
            }
            self->p_saved(package, generation, resources);
            emit self->saveFinished(true);
            if (f)
                f();
        });
    });
}

void HLProjectDocument::p_saved(const QString &path, quint64 generation,
                                const std::vector<std::shared_ptr<HLResourceItem>> &resources)
{
    const HLProjectSession &session = *m_host.session();
    // Only now that the package is in place does the live model name its media there, and
    // only the media the package holds: one added since has no file there yet.
    session.gate().perform(HLChange::None, [&] {
        for (const auto &resource : resources)
            resource->updateResourceID(HLResourcePool::makeKeyPersistent(resource->strResourceID()));
    });
    m_host.setWorkFolder(path);
    p_updateTitle();
    // Edits made while the save ran are not in the package: the project stays edited.
    if (session.gate().iGeneration() == generation)
        m_host.setEdited(false);
}

void HLProjectDocument::p_openProjectFrom(const QString &path)
{
    if (m_job)
        return;
    m_host.stopPlayingAndEditing();
    m_host.session()->gate().stopPreview();
    const QString package = packagePath(path);
    HLBusyWndCtrl::sharedBusyWndCtrl().startBusingOn(m_host.sheetHost());
    const auto opened = std::make_shared<HLProjectContents>();
    const auto notes = std::make_shared<QStringList>(); // what the read mended or kept
    m_job = std::make_unique<HLJob>([package, opened, notes](HLJobState &) {
        *opened = HLProjectPackage::read(package, notes.get());
        return true;
    });
    QPointer<HLProjectDocument> self(this);
    m_job->start([self, package, opened, notes](const HLJobState &state) {
        HLBusyWndCtrl::sharedBusyWndCtrl().stopBusing();
        const bool succeeded = state.outcome() == HLJobState::Outcome::Succeeded;
        const QString reason = state.errorString();
        HLDispatch::onMain([self, package, opened, notes, succeeded, reason] {
            if (!self)
                return;
            self->m_job.reset();
            if (!succeeded) {
                self->p_showFailure(tr("The project could not be opened."), reason);
                emit self->openFinished(false);
                return;
            }
            self->p_opened(package, *opened);
            if (!notes->isEmpty())
                self->p_showFailure(tr("The project “%1” was opened.").arg(HLProjectPackage::displayName(package)),
                                    notes->join(QLatin1Char('\n')));
            emit self->openFinished(true);
        });
    });
}

void HLProjectDocument::p_opened(const QString &path, const HLProjectContents &contents)
{
    m_host.replaceProject(contents);
    m_host.setWorkFolder(path);
    p_updateTitle();
    m_host.setEdited(false);
}

bool HLProjectDocument::tryToOpen(const QString &path)
{
    m_host.stopPlaying();
    // Not while a sheet or another window holds the user's attention.
    if (m_job || QApplication::activeModalWidget())
        return false;
    const QString package = packagePath(path);
    if (QFileInfo(package).suffix() != HLProjectPackage::kArchiveProjectExten) {
        p_showFailure(tr("“%1” is not a project.").arg(QFileInfo(package).fileName()),
                      tr("Projects are folders whose names end in “.%1”.").arg(HLProjectPackage::kArchiveProjectExten));
        return false;
    }
    const auto open = [this, package] {
        m_host.stopPlayingAndEditing();
        p_openProjectFrom(package);
    };
    if (!p_closeDirtyProject({}, [this, open] { p_save(open); }, {}))
        return false;
    open();
    return true;
}

bool HLProjectDocument::windowShouldClose()
{
    if (m_job)
        return false; // the busy sheet is up; closing would lose the save or open under way
    m_host.stopPlaying();
    const Completion terminate = m_terminate;
    if (!p_closeDirtyProject({}, [this, terminate] { p_save(terminate); }, {}))
        return false;
    terminate();
    return true;
}

bool HLProjectDocument::sessionMayEnd(bool canAsk)
{
    if (!canAsk || !isDocumentEdited())
        return true;
    if (m_job)
        return false;
    bool saving = false;
    if (p_closeDirtyProject({}, [this, &saving] { p_save(); saving = isBusy(); }, {}))
        return true;
    if (!saving)
        return false; // cancelled, or no place to save to was chosen
    QEventLoop loop;
    bool saved = false;
    connect(this, &HLProjectDocument::saveFinished, &loop, [&](bool ok) {
        saved = ok;
        loop.quit();
    });
    loop.exec();
    return saved;
}

void HLProjectDocument::p_showFailure(const QString &message, const QString &reason)
{
    QMessageBox alert(QMessageBox::Warning, QApplication::applicationDisplayName(), message, QMessageBox::Ok,
                      m_host.sheetHost());
    alert.setWindowModality(Qt::ApplicationModal);
    alert.setInformativeText(reason);
    alert.exec();
}

QString HLProjectDocument::p_defaultOpenPanel(QWidget *window)
{
    return HLPackagePanel::run(window, HLPackagePanel::Open);
}

QString HLProjectDocument::p_defaultSavePanel(QWidget *window)
{
    return HLPackagePanel::run(window, HLPackagePanel::Save);
}
