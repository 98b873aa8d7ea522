#include "Frameworks/Trevanel/Trevanel.h"

bool Trevanel::noMenu() const
{
    std::lock_guard lock(m_mutex);
    return m_noMenu;
}

void Trevanel::setNoMenu(bool value)
{
    std::lock_guard lock(m_mutex);
    m_noMenu = value;
}

qint64 Trevanel::aspectType() const
{
    std::lock_guard lock(m_mutex);
    return m_aspectType;
}

void Trevanel::setAspectType(qint64 value)
{
    std::lock_guard lock(m_mutex);
    m_aspectType = value;
}

qint64 Trevanel::dvdBitrate() const
{
    std::lock_guard lock(m_mutex);
    return m_dvdBitrate;
}

void Trevanel::setDvdBitrate(qint64 value)
{
    std::lock_guard lock(m_mutex);
    m_dvdBitrate = value;
}

bool Trevanel::playFirstTitle() const
{
    std::lock_guard lock(m_mutex);
    return m_playFirstTitle;
}

void Trevanel::setPlayFirstTitle(bool value)
{
    std::lock_guard lock(m_mutex);
    m_playFirstTitle = value;
}

bool Trevanel::menuLoop() const
{
    std::lock_guard lock(m_mutex);
    return m_menuLoop;
}

void Trevanel::setMenuLoop(bool value)
{
    std::lock_guard lock(m_mutex);
    m_menuLoop = value;
}

int Trevanel::format() const
{
    std::lock_guard lock(m_mutex);
    return m_format;
}

void Trevanel::setFormat(int value)
{
    std::lock_guard lock(m_mutex);
    m_format = value;
}

bool Trevanel::playTitleSequence() const
{
    std::lock_guard lock(m_mutex);
    return m_playTitleSequence;
}

void Trevanel::setPlayTitleSequence(bool value)
{
    std::lock_guard lock(m_mutex);
    m_playTitleSequence = value;
}

bool Trevanel::loopVideo() const
{
    std::lock_guard lock(m_mutex);
    return m_loopVideo;
}

void Trevanel::setLoopVideo(bool value)
{
    std::lock_guard lock(m_mutex);
    m_loopVideo = value;
}

std::vector<std::shared_ptr<DVDTitleVideoProtocol>> Trevanel::titles() const
{
    std::lock_guard lock(m_mutex);
    return m_titles;
}

void Trevanel::setTitles(std::vector<std::shared_ptr<DVDTitleVideoProtocol>> titles)
{
    std::lock_guard lock(m_mutex);
    m_titles = std::move(titles);
}

std::vector<std::shared_ptr<DVDMenuPage>> Trevanel::menus() const
{
    std::lock_guard lock(m_mutex);
    return m_menus;
}

void Trevanel::setMenus(std::vector<std::shared_ptr<DVDMenuPage>> menus)
{
    std::lock_guard lock(m_mutex);
    m_menus = std::move(menus);
}

QSizeF Trevanel::dvdVideoSize() const
{
    return format() == PAL ? QSizeF(720, 576) : QSizeF(720, 480);
}

std::pair<double, double> Trevanel::dvdVideoTimebase() const
{
    return format() == PAL ? std::pair(1.0, 25.0) : std::pair(1001.0, 30000.0);
}
