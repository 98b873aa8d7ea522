#include "SourceHL/Editors/HLEditorMovie.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "SourceHL/Editors/HLMovieTrimPlayer.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

HLEditorMovie::HLEditorMovie()
{
    m_timer.setInterval(kTickMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_blkTick)
            m_blkTick();
    });
}

HLEditorMovie::~HLEditorMovie()
{
    close();
}

bool HLEditorMovie::open(const std::shared_ptr<HLResourceItem> &resource, double volume)
{
    close();
    if (!resource)
        return false;
    auto movie = ZKFFMovie::open(resource->previewPath());
    if (!movie)
        return false;
    resource->setBLoadPreview(true);
    m_resource = resource;
    m_movie = std::move(movie);
    m_player = std::make_shared<HLMovieTrimPlayer>(m_movie);
    m_movie->setCurrentTime(0);
    m_movie->setVolume(volume);
    return true;
}

void HLEditorMovie::close()
{
    m_timer.stop();
    if (m_movie)
        m_movie->pause();
    m_movie.reset();
    m_player.reset();
    if (m_resource)
        m_resource->setBLoadPreview(false);
    m_resource.reset();
}

void HLEditorMovie::play()
{
    if (!m_movie)
        return;
    m_movie->play();
    m_timer.start();
}

void HLEditorMovie::pause()
{
    m_timer.stop();
    if (m_movie)
        m_movie->pause();
}

bool HLEditorMovie::isPlay() const
{
    return m_movie && m_movie->isPlay();
}

void HLEditorMovie::setVolume(double volume)
{
    if (m_movie)
        m_movie->setVolume(volume);
}
