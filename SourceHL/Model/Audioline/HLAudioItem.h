#pragma once

#include "Platform/Foundation/HLCoding.h"

#include <QString>

#include <memory>

class HLAudioEdit;
class HLKeyedUnarchiver;
class HLResourceItem;
class ZKFFMovie;

// One music clip of the audio line: an audio resource with its edit, played over a range of
// project time. The kept part of the music repeats over the range, each repetition faded in
// and out on its own.
class HLAudioItem : public HLCoding
{
public:
    // Null when the identifier is empty or the resource is no music.
    static std::shared_ptr<HLAudioItem> audioItemOf(const QString &identifier,
                                                    const std::shared_ptr<HLResourceItem> &resource);

    bool isEqual(const HLAudioItem &other) const;
    QString debugDescription() const;
    QString strName() const;
    float dTrimDuration() const;

    float dPlayMin() const { return m_dPlayMin; }
    float dPlayMax() const { return m_dPlayMax; }
    void setDPlayMin(float value);
    void setDPlayMax(float value);
    // Sets both when 0 <= min <= max < infinity; otherwise nothing changes.
    void updatePlayMin(float min, float max);
    // Strictly inside the play range.
    bool contains(float time) const;

    bool didLoad() const;
    // The player's position lies outside the kept part of the music.
    bool playBeyond() const;
    // Opens a movie of its own for the clip, playing its kept part over and over;
    // unloadAudio releases it.
    void loadAudio();
    void unloadAudio();
    void play();
    // A join on the mix's frame clock (ZKAudioEngine::renderedFrames): the sound comes in at,
    // or ends just before, that frame.
    void playFromFrame(qint64 frame);
    void stopAtFrame(qint64 frame);
    void pause();
    void globalSeek(float time);
    void localSeek(float local);
    float globalVolume(float time) const;
    float localVolume(float local) const;
    // The closing fade over the last 3 s of the range.
    float fadeOutVolume(float time) const;
    void setVolume(float volume);

    QString strAUID() const { return m_strAUID; }
    // Ignored when empty, as the archive refuses it.
    void setStrAUID(const QString &identifier)
    {
        if (!identifier.isEmpty())
            m_strAUID = identifier;
    }
    std::shared_ptr<HLResourceItem> oResource() const { return m_oResource; }
    void setOResource(const std::shared_ptr<HLResourceItem> &resource) { m_oResource = resource; }
    std::shared_ptr<HLAudioEdit> oEdit() const { return m_oEdit; }
    void setOEdit(const std::shared_ptr<HLAudioEdit> &edit) { m_oEdit = edit; }
    std::shared_ptr<ZKFFMovie> oPlayer() const { return m_oPlayer; }
    void setOPlayer(const std::shared_ptr<ZKFFMovie> &player) { m_oPlayer = player; }

    QString className() const override { return QStringLiteral("HLAudioItem"); }
    void encodeWithCoder(HLKeyedArchiver &coder) const override;
    // Refuses (HLArchiveError) a clip without an identifier, music resource or edit, or
    // with a play range no setter makes.
    static std::shared_ptr<HLAudioItem> initWithCoder(HLKeyedUnarchiver &coder);

private:
    float p_wrapped(float local) const;

    float m_dPlayMin = 0;
    float m_dPlayMax = 0;
    QString m_strAUID;
    std::shared_ptr<HLResourceItem> m_oResource;
    std::shared_ptr<HLAudioEdit> m_oEdit;
    std::shared_ptr<ZKFFMovie> m_oPlayer;
};
