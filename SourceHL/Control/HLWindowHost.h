#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>

class HLProjectSession;
class QWidget;
struct HLProjectContents;

// What the main window's helpers (the play loop, the imports, the document) ask of the
// window, so that each can be driven by a test without one.
class HLWindowHost
{
public:
    virtual ~HLWindowHost() = default;

    // The open project; another one after a project is replaced.
    virtual const std::shared_ptr<HLProjectSession> &session() const = 0;
    // The window sheets, panels and alerts go over.
    virtual QWidget *sheetHost() const = 0;
    // Shows a rendered frame and title layer in the preview.
    virtual void showFrame(const QImage &frame, const QImage &titles) = 0;
    // The play position changed: the time read-outs and the play line follow.
    virtual void showPlayPosition() = 0;
    // Playing started or stopped: the commands follow.
    virtual void playingChanged() = 0;
    // Stops playing and closes the editors before an edit of the lines.
    virtual void stopPlayingAndEditing() = 0;
    // Stops playing only (saving leaves the editors open).
    virtual void stopPlaying() = 0;
    // The slideshow item new media go into when the user asks for it (empty: none chosen).
    virtual QString chosenSlideshowID() const = 0;
    // The session's private folder for files made on the way (empty: none).
    virtual QString temporaryFolder() const = 0;
    // The package the project is saved in (empty: never saved); setting it points the
    // saved project's pools at it.
    virtual QString workFolder() const = 0;
    virtual void setWorkFolder(const QString &package) = 0;
    // A new, empty project of size.
    virtual HLProjectContents emptyProject(QSizeF size) const = 0;
    // Makes contents the open project.
    virtual void replaceProject(const HLProjectContents &contents) = 0;
    // Shows the project's name as the window's title.
    virtual void showTitle(const QString &name) = 0;
    // The edited mark: set by the window when an edit is announced, cleared by the document.
    virtual bool isEdited() const = 0;
    virtual void setEdited(bool edited) = 0;
};
