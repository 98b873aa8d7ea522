#pragma once

#include "Frameworks/Trevanel/DVDMenuGeometry.h"
#include "Frameworks/Trevanel/DVDToolProcess.h"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <memory>
#include <vector>

class DVDMenuImageGenerator;
class DVDMenuPage;
class HLJobState;
class Trevanel;

// Makes a menu file: the menu's motion video with its buttons' highlight and select
// pictures multiplexed in as a subpicture stream (spumux); a 16:9 menu gets a second
// stream of them letterboxed, for 4:3 sets. The layer pictures and the
// spumux description are written into the work folder under fixed names; the menu file is
// written beside its path and moved there only when complete.
class DVDMenuMake
{
public:
    void makeMenu(std::shared_ptr<DVDMenuPage> menu, std::shared_ptr<Trevanel> dvd, const QString &path,
                  const QString &video, const QString &work, std::shared_ptr<DVDMenuImageGenerator> generator);
    // Synchronous, its cancel through state; false with errorString set when the menu could not be made.
    bool start(HLJobState &state);
    QString errorString() const;

    // rect mapped from a menu of menuSize to a video frame of fitSize (both y up).
    static QRectF scaleRect(const QRectF &rect, QSizeF menuSize, QSizeF fitSize);
    // The menu's buttons as areas of the video frame, in item order; false with a reason
    // when a button lies wholly outside the menu.
    static bool buttonsOf(const DVDMenuPage &menu, QSizeF frameSize, std::vector<DVDFrameButton> *buttons,
                          QString *error);

private:
    bool p_fail(const QString &reason);
    // One subpicture stream of the buttons multiplexed into input as output.
    bool p_spumux(HLJobState &state, const QByteArray &description, int stream, const QString &input, const QString &output);

    std::shared_ptr<DVDMenuPage> m_menu;
    std::shared_ptr<Trevanel> m_dvd;
    std::shared_ptr<DVDMenuImageGenerator> m_generator;
    QString m_path;
    QString m_video;
    QString m_work;
    DVDToolProcess m_tool;
    QString m_error;
};
