#pragma once

#include "Frameworks/Korvane/MovieSource.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QImage>

#include <memory>
#include <mutex>
#include <vector>

class DVDCustomMenu;
class ZKSegmentMovie;

// A menu page as a movie source: its picture for the page's length, and the sound of its
// audio movie. Without music the sound is silence, so every menu video has a sound track.
class DVDMenuVideo : public MovieSource
{
public:
    explicit DVDMenuVideo(std::shared_ptr<DVDCustomMenu> menu);

    std::shared_ptr<DVDCustomMenu> menu() const { return m_menu; }
    std::shared_ptr<ZKSegmentMovie> audioMovie() const { return m_audioMovie.get(); }
    void setAudioMovie(std::shared_ptr<ZKSegmentMovie> movie) { m_audioMovie.set(std::move(movie)); }

    // Copies of the menu's music, one after another, filling the page's length; the last
    // shortened to end with the page. Empty without music, or when the music or the page
    // lasts 0.5 s or less.
    std::vector<std::shared_ptr<ZKSegmentMovie>> musicVcMovies() const;

    bool hasVideo() const override { return true; }
    bool hasAudio() const override { return true; }
    qint64 duration() const override;
    qint64 currentVideoMediaMaxTime() const override;
    void setCurrentTime(qint64 time) override;
    void flushOperation() override;
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) override;
    // Reads stream 0 of the audio movie whatever stream is asked; silence when it has none.
    bool readSample(float *buffer, int nbStream, int frames) override;

private:
    std::shared_ptr<DVDCustomMenu> m_menu;
    HLAtomicProperty<std::shared_ptr<ZKSegmentMovie>> m_audioMovie;
};
