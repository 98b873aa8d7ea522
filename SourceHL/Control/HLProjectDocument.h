#pragma once

#include "SourceHL/Model/Package/HLProjectPackage.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class HLJob;
class HLResourceItem;
class HLWindowHost;
class QWidget;

// The open project as a document of the main window: new, open, save and save as, with the
// busy sheet over the window while the files are read or written, the question about
// unsaved changes, the title ("Untitled" until saved) and the edited mark.
//
// The model is copied and switched on the main thread; the worker only touches files. A
// save's next step (close, new, open) runs only when the save succeeded; a failure is shown
// with its reason and leaves the project, its mark and the old package as they were.
class HLProjectDocument : public QObject
{
    Q_OBJECT
public:
    using Completion = std::function<void()>;
    // Asks for a package to open or a path to save to; empty when the user cancels.
    using Panel = std::function<QString(QWidget *window)>;

    explicit HLProjectDocument(HLWindowHost &host);
    ~HLProjectDocument() override;

    // A new, empty project, after the unsaved-changes question.
    void p_new();
    // The open panel, after the unsaved-changes question.
    void p_open();
    // Saves to the open package, or asks for one when the project was never saved. f runs
    // after a successful save.
    void p_save(Completion f = {});
    void p_saveAs(Completion f = {});
    void p_saveProjectTo(const QString &path, Completion f = {});
    // Reads the package in the background and, when it is sound, makes it the open project.
    void p_openProjectFrom(const QString &path);
    // The unsaved-changes question: true when the project may go (clean, or "Don't Save").
    // "Save" runs save, "Don't Save" close, "Cancel" cancel (each may be empty).
    bool p_closeDirtyProject(const Completion &close, const Completion &save, const Completion &cancel);
    // A package handed in from outside (command line, a second launch). Refused while the
    // window is busy; asks about unsaved changes first; true when the open started.
    bool tryToOpen(const QString &path);
    // The window is being closed (or the program quit): asks about unsaved changes; true
    // when the program may end now. After "Save" it ends once the save succeeded.
    bool windowShouldClose();
    // The session is ending (logout): true when it may; with canAsk the user is asked and
    // a chosen save runs to its end first.
    bool sessionMayEnd(bool canAsk);

    bool isDocumentEdited() const;
    // A save or open is running.
    bool isBusy() const { return bool(m_job); }

    void setOpenPanel(Panel panel) { m_openPanel = std::move(panel); }
    void setSavePanel(Panel panel) { m_savePanel = std::move(panel); }
    // Ends the program (by default: quits the event loop).
    void setTerminate(Completion terminate) { m_terminate = std::move(terminate); }
    void setWriteHooks(HLProjectPackage::WriteHooks hooks) { m_writeHooks = std::move(hooks); }

signals:
    void saveFinished(bool saved);
    void openFinished(bool opened);

private:
    void p_openPanelThenOpen();
    // The package at path holds the snapshot taken at generation with resources: those
    // resources now name the package, and the edited mark stays when edits came since.
    void p_saved(const QString &path, quint64 generation,
                 const std::vector<std::shared_ptr<HLResourceItem>> &resources);
    void p_opened(const QString &path, const HLProjectContents &contents);
    void p_showFailure(const QString &message, const QString &reason);
    void p_updateTitle();
    static QString p_defaultOpenPanel(QWidget *window);
    static QString p_defaultSavePanel(QWidget *window);

    HLWindowHost &m_host;
    std::unique_ptr<HLJob> m_job;
    Panel m_openPanel;
    Panel m_savePanel;
    Completion m_terminate;
    HLProjectPackage::WriteHooks m_writeHooks;
};
