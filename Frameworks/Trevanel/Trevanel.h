#pragma once

#include <QSizeF>
#include <QtGlobal>

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class DVDMenuPage;
class DVDTitleVideoProtocol;

// A disc description: its titles and menus and how the disc plays them. Format 0 is NTSC
// (720 × 480 at 30000/1001 frames per second), 1 is PAL (720 × 576 at 25). Aspect type 0 is
// 4:3, 1 is 16:9. Thread-safe.
class Trevanel
{
public:
    enum Format { NTSC = 0, PAL = 1 };

    bool noMenu() const;
    void setNoMenu(bool value);
    qint64 aspectType() const;
    void setAspectType(qint64 value);
    // kbit/s.
    qint64 dvdBitrate() const;
    void setDvdBitrate(qint64 value);
    bool playFirstTitle() const;
    void setPlayFirstTitle(bool value);
    bool menuLoop() const;
    void setMenuLoop(bool value);
    int format() const;
    void setFormat(int value);
    bool playTitleSequence() const;
    void setPlayTitleSequence(bool value);
    bool loopVideo() const;
    void setLoopVideo(bool value);
    std::vector<std::shared_ptr<DVDTitleVideoProtocol>> titles() const;
    void setTitles(std::vector<std::shared_ptr<DVDTitleVideoProtocol>> titles);
    std::vector<std::shared_ptr<DVDMenuPage>> menus() const;
    void setMenus(std::vector<std::shared_ptr<DVDMenuPage>> menus);

    // The frame size of the chosen standard.
    QSizeF dvdVideoSize() const;
    // Frame time and frame rate: frames per second = rate / time.
    std::pair<double, double> dvdVideoTimebase() const;

private:
    mutable std::mutex m_mutex;
    bool m_noMenu = false;
    qint64 m_aspectType = 0;
    qint64 m_dvdBitrate = 6000;
    bool m_playFirstTitle = false;
    bool m_menuLoop = true;
    int m_format = NTSC;
    bool m_playTitleSequence = false;
    bool m_loopVideo = false;
    std::vector<std::shared_ptr<DVDTitleVideoProtocol>> m_titles;
    std::vector<std::shared_ptr<DVDMenuPage>> m_menus;
};
