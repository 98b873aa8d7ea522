#pragma once

#include "SourceHL/Editors/HLTrimlineProtocols.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class HLResourceItem;
class ZKFFMovie;

// An editor's own movie of the clip it edits, for its preview: never the resource's shared
// movie, which the players play (its gain and position stay theirs). While open it holds one
// counted load of the resource's preview; close gives it back, pauses, and stops the preview
// timer (0.05 s while playing), so nothing of the editor outlives its editing.
class HLEditorMovie : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMilliseconds = 50;

    HLEditorMovie();
    ~HLEditorMovie() override;

    // Opens the resource's clip at 0 with the volume; false (and nothing held) when the file
    // gives no movie. Closes what was open first.
    bool open(const std::shared_ptr<HLResourceItem> &resource, double volume);
    void close();
    bool isOpen() const { return m_movie != nullptr; }

    const std::shared_ptr<ZKFFMovie> &movie() const { return m_movie; }
    // The trim line's player over this movie (null while closed).
    std::shared_ptr<TrimlinePlayerProtocol> player() const { return m_player; }

    // Called on every tick while playing (the editor loops and refreshes there).
    void setupTick(std::function<void()> tick) { m_blkTick = std::move(tick); }
    void play();
    void pause();
    bool isPlay() const;
    void setVolume(double volume);
    QTimer &timer() { return m_timer; }

private:
    std::shared_ptr<HLResourceItem> m_resource;
    std::shared_ptr<ZKFFMovie> m_movie;
    std::shared_ptr<TrimlinePlayerProtocol> m_player;
    std::function<void()> m_blkTick;
    QTimer m_timer;
};
